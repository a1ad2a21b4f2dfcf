// Measures the Folder details window for bench/details.sh:
//   bench_details [--by-loudness] FOLDER
// Opens the window on FOLDER (sorted by loudness, the order a user picks to
// find the loudest sounds, with --by-loudness) and prints, in milliseconds,
// when every header was read and listed, when every loudness was measured,
// and the longest time the window's event loop went without turning, while
// listing and in all (how long a click would have waited).
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTimer>
#include <cstdio>

#include "FolderDetailsModel.h"
#include "frmDetails.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool byLoudness = argc == 3 && qstrcmp(argv[1], "--by-loudness") == 0;
    if (argc != 2 && !byLoudness) {
        std::fprintf(stderr, "usage: bench_details [--by-loudness] FOLDER\n");
        return 2;
    }
    frmDetails window;
    window.show();
    if (byLoudness) {
        window.findChild<QTableView*>(QStringLiteral("tblFiles"))
            ->sortByColumn(FolderDetailsModel::FirstLoudness, Qt::DescendingOrder);
    }
    QElapsedTimer clock;
    qint64 lastTurn = 0, longestGap = 0;
    // A timer due every few milliseconds runs late by as long as the event
    // loop is held up. (A zero-interval one would keep a core busy turning the
    // loop and slow the measuring threads it is meant to watch.)
    QTimer pulse;
    pulse.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = qMax(longestGap, now - lastTurn);
        if (qEnvironmentVariableIsSet("BENCH_GAPS") && now - lastTurn > 40)
            std::fprintf(stderr, "gap %lld ms at %lld ms\n", now - lastTurn, now);
        lastTurn = now;
    });
    qint64 listed = -1, measured = -1, stallListed = -1;
    QObject::connect(&window, &frmDetails::ReadingFinished, [&] {
        listed = clock.elapsed();
        stallListed = longestGap;
    });
    QObject::connect(&window, &frmDetails::LoudnessFinished, [&] {
        measured = clock.elapsed();
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    clock.start();
    pulse.start(5);
    window.ShowFolder(QString::fromLocal8Bit(argv[argc - 1]));
    app.exec();
    std::printf("listed_ms=%lld\nlisting_stall_ms=%lld\nmeasured_ms=%lld\nlongest_stall_ms=%lld\n",
                listed, stallListed, measured, longestGap);
    return measured < 0 ? 1 : 0;
}
