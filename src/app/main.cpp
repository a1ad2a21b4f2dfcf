#include <QApplication>

#include "StartupProbe.h"
#include "frmMain.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zephyra Sound Utility");
    QApplication::setApplicationVersion("2.0.7");
    QApplication::setDesktopFileName("io.github.brellin.ZephyraSoundUtility");

    frmMain window;
    WatchStartup(&window);
    window.show();
    return app.exec();
}
