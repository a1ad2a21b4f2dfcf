// The least a Qt Widgets program does before it takes input: an empty window,
// shown. bench/startup.sh builds it with the program's start-up probe and
// compares the program's start against it.
#include <QApplication>
#include <QWidget>

#include "StartupProbe.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(880, 520);
    WatchStartup(&window);
    window.show();
    return app.exec();
}
