#include <QApplication>
#include <vector>

#include "NativeName.h"
#include "RunTopLevel.h"
#include "SignalQuit.h"
#include "StartArguments.h"
#include "StartupProbe.h"
#include "ZephyraVersion.h"
#include "frmMain.h"

namespace {

// The last guard: an exception that escapes an event's handling (running out
// of memory anywhere) is shown with its number, and the program carries on
// instead of ending by an abort.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        bool result = false;
        zs::RunTopLevel(nullptr, [&] { result = QApplication::notify(receiver, event); });
        return result;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QStringList args;
    // Byte for byte: a path need not be valid UTF-8.
    for (int i = 1; i < argc; ++i) args << NativeName::Decode(QByteArray(argv[i]));
    const StartArguments start = StartArguments::Parse(args);
    // Help, version and usage errors need no display.
    if (start.action != StartArguments::Action::Run) return start.Answer();

    // Qt sees its own options only: a path of ours may start with "-".
    QList<QByteArray> qtWords{QByteArray(argv[0])};
    for (const QString& arg : start.qtArgs) qtWords << NativeName::Encode(arg);
    std::vector<char*> qtArgv;
    for (QByteArray& word : qtWords) qtArgv.push_back(word.data());
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(qtWords.size());
    Application app(qtArgc, qtArgv.data());
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
