// Help, version and usage errors: their streams and exit statuses, with no
// display at all (none of them may need one).
#include <QProcess>
#include <QtTest>

class tst_StartCommandLine : public QObject {
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void qtTakesItsOptions();
};

void tst_StartCommandLine::answers_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");  // the start of standard output
    QTest::addColumn<QString>("err");  // the first line of standard error
    const QString usage = "Usage: zephyra-sound-utility [FILE | FOLDER]\n";
    QTest::newRow("--help") << QStringList{"--help"} << 0 << usage << "";
    QTest::newRow("-h after a path") << QStringList{"a.snd", "-h"} << 0 << usage << "";
    QTest::newRow("--version") << QStringList{"--version"} << 0
                               << "zephyra-sound-utility " ZS_VERSION "\n"
                               << "";
    QTest::newRow("unknown option") << QStringList{"--play"} << 2 << ""
                                    << "zephyra-sound-utility: unknown option \"--play\"";
    QTest::newRow("Qt's options") << QStringList{"-style", "Fusion", "--reverse", "--version"} << 0
                                  << "zephyra-sound-utility " ZS_VERSION "\n"
                                  << "";
    QTest::newRow("Qt's option without its value")
        << QStringList{"a.snd", "-platform"} << 2 << ""
        << "zephyra-sound-utility: option \"-platform\" needs a value";
    QTest::newRow("Qt's option after --")
        << QStringList{"--", "-reverse", "x"} << 2 << ""
        << "zephyra-sound-utility: one FILE or FOLDER at most, 2 given";
    QTest::newRow("two paths") << QStringList{"a.snd", "b.snd"} << 2 << ""
                               << "zephyra-sound-utility: one FILE or FOLDER at most, 2 given";
    QTest::newRow("empty path") << QStringList{""} << 2 << ""
                                << "zephyra-sound-utility: an empty path";
    QTest::newRow("controls in an option")
        << QStringList{"--x\x1b[2J\nzephyra-sound-utility: y"} << 2 << ""
        << "zephyra-sound-utility: unknown option "
           "\"--x\\e[2J\\nzephyra-sound-utility: y\"";
    QTest::newRow("option after --")
        << QStringList{"--", "--help", "x"} << 2 << ""
        << "zephyra-sound-utility: one FILE or FOLDER at most, 2 given";
}

void tst_StartCommandLine::answers() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    program.setProcessEnvironment(environment);
    program.start(ZS_PROGRAM, args);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    const QString stdOut = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
    if (err.isEmpty()) {
        QCOMPARE(stdErr, QString());
    } else {
        QCOMPARE(stdErr.section('\n', 0, 0), err);
        QCOMPARE(stdErr.section('\n', 1, 1),
                 QString("Try 'zephyra-sound-utility --help' for more information."));
    }
}

// Qt takes its options: with no display at all, -platform offscreen starts
// the window, which then reports itself ready and quits.
void tst_StartCommandLine::qtTakesItsOptions() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    environment.insert("ZEPHYRA_STARTUP_PROBE", "1");
    environment.insert("ZEPHYRA_REGISTRY", dir.filePath("registry.sqlite3"));
    program.setProcessEnvironment(environment);
    program.start(ZS_PROGRAM, {"-platform", "offscreen", "-style=Fusion", dir.path()});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QString::fromLocal8Bit(program.readAllStandardOutput()).contains("ready "));
}

QTEST_GUILESS_MAIN(tst_StartCommandLine)
#include "tst_StartCommandLine.moc"
