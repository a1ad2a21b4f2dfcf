#include <QApplication>

#include "frmMain.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zephyra Sound Utility");
    QApplication::setApplicationVersion("2.0.7");
    QApplication::setDesktopFileName("zephyra-sound-utility");

    frmMain window;
    window.show();
    return app.exec();
}
