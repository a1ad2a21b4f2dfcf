// Measures the Folder details window for bench/details.sh:
//   bench_details FOLDER
// Opens the window on FOLDER and prints, in milliseconds, when every header
// was read and listed, and the longest time the window's event loop went
// without turning meanwhile (how long a click would have waited).
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "frmDetails.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_details FOLDER\n");
        return 2;
    }
    frmDetails window;
    window.show();
    QElapsedTimer clock;
    qint64 lastTurn = 0, longestGap = 0;
    // A zero-interval timer runs once per turn of the event loop.
    QTimer pulse;
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = qMax(longestGap, now - lastTurn);
        lastTurn = now;
    });
    qint64 listed = -1;
    QObject::connect(&window, &frmDetails::ReadingFinished, [&] {
        listed = clock.elapsed();
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    clock.start();
    pulse.start(0);
    window.ShowFolder(QString::fromLocal8Bit(argv[1]));
    app.exec();
    std::printf("listed_ms=%lld\nlongest_stall_ms=%lld\n", listed, longestGap);
    return listed < 0 ? 1 : 0;
}
