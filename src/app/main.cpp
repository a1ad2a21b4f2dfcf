#include <QApplication>

#include "NativeName.h"
#include "SignalQuit.h"
#include "StartArguments.h"
#include "StartupProbe.h"
#include "ZephyraVersion.h"
#include "frmMain.h"

int main(int argc, char* argv[]) {
    QStringList args;
    // Byte for byte: a path need not be valid UTF-8.
    for (int i = 1; i < argc; ++i) args << NativeName::Decode(QByteArray(argv[i]));
    const StartArguments start = StartArguments::Parse(args);
    // Help, version and usage errors need no display.
    if (start.action != StartArguments::Action::Run) return start.Answer();

    int qtArgc = 1;  // Qt sees no argument of ours: a path may start with "-"
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName("Zephyra Sound Utility");
    QApplication::setApplicationVersion(ZephyraVersion::Text);
    QApplication::setDesktopFileName("io.github.brellin.ZephyraSoundUtility");

    frmMain window;
    window.SetStartPath(start.path);
    WatchStartup(&window);
    window.show();
    SignalQuit::Install();
    const int status = app.exec();
    if (SignalQuit::Received() != 0) window.CloseWithoutAsking();
    return status;
}
