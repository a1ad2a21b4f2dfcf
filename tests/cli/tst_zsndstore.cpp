#include <QTemporaryDir>
#include <QtTest>

#include "SoundFixtures.h"
#include "ZsndRun.h"

// The store's commands as a shell meets them: paths named twice or by other
// spellings, things that are not what a command needs, and the status of each.
class tst_zsndstore : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QByteArray stockA_ = Fixtures::GameFile({0, 3, -1, 22050, 16, 1, 0}, Fixtures::Samples(9000));
    QByteArray stockB_ = Fixtures::GameFile({0, 4, -1, 11025, 8, 1, 0}, Fixtures::Samples(4000));

    // A folder "d" with A.SND and B.WSD replaced, "e" with A.SND replaced,
    // "L" a link to "d", and a source.wav; "fresh" never replaced.
    void MakeFolders() {
        for (const char* name : {"d", "e", "fresh"}) {
            QDir(dir_.filePath(name)).removeRecursively();
            QVERIFY(QDir(dir_.path()).mkdir(name));
            QVERIFY(Fixtures::WriteFile(dir_.filePath(name) + "/A.SND", stockA_));
            QVERIFY(Fixtures::WriteFile(dir_.filePath(name) + "/B.WSD", stockB_));
        }
        QFile::remove(dir_.filePath("L"));
        QVERIFY(QFile::link(dir_.filePath("d"), dir_.filePath("L")));
        QVERIFY(QFile::link("A.SND", dir_.filePath("fresh/LINK.SND")));
        QVERIFY(Fixtures::WriteFile(dir_.filePath("source.wav"),
                                    Fixtures::WavFile({.channels = 1}, Fixtures::Samples(3000))));
        QVERIFY(Fixtures::WriteFile(dir_.filePath("noise.wav"), "not a sound at all"));
        for (const char* game : {"d/A.SND", "d/B.WSD", "e/A.SND"})
            QCOMPARE(
                RunZsnd({"replace", dir_.filePath(game), dir_.filePath("source.wav")}).exitCode, 0);
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    // Each row: the arguments ("@" stands for the test's folder), the exit
    // status, a phrase of what zsnd says and how often it says it (0: any
    // number of times but never none), and entries "fresh" must not gain.
    void commands_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<int>("times");
        QTest::newRow("restore, one file twice")
            << "restore @/d/A.SND @/d/A.SND" << 0 << "A.SND restored" << 1;
        QTest::newRow("restore, a doubled slash")
            << "restore @/d/A.SND @/d//A.SND" << 0 << "A.SND restored" << 1;
        QTest::newRow("restore, through . and a link")
            << "restore @/d/./A.SND @/L/A.SND @/d/A.SND" << 0 << "restored" << 1;
        QTest::newRow("restore, a folder and its file")
            << "restore @/d @/d/A.SND @/L" << 0 << "restored" << 2;
        QTest::newRow("restore, one folder of two refuses")
            << "restore @/e/A.SND @/d/A.SND @/fresh/A.SND" << 1 << "was not replaced" << 1;
        QTest::newRow("info, one file twice") << "info @/d/A.SND @/L/A.SND" << 0 << "File:" << 1;
        QTest::newRow("batch, one name twice") << "batch --from snd --to wav @/fresh A.SND A.SND"
                                               << 0 << "1 files were converted" << 1;
        QTest::newRow("status of no folder") << "status @/nowhere" << 3 << "error 53" << 1;
        QTest::newRow("status of a file") << "status @/d/A.SND" << 3 << "not a folder" << 1;
        QTest::newRow("replace from no sound")
            << "replace @/fresh/A.SND @/noise.wav" << 3 << "not audio" << 1;
        QTest::newRow("replace through a link")
            << "replace @/fresh/LINK.SND @/source.wav" << 3 << "error 75" << 1;
        QTest::newRow("pack to .ZIP") << "pack @/d @/PACK.ZIP" << 0 << "packed" << 2;
        QTest::newRow("apply of a file that is no pack")
            << "apply @/noise.wav @/fresh" << 1 << "not a sound pack" << 1;
    }

    void commands() {
        QFETCH(QString, args);
        QFETCH(int, status);
        QFETCH(QString, phrase);
        QFETCH(int, times);
        MakeFolders();
        QStringList list = args.replace("@", dir_.path()).split(' ');
        const ZsndRun run = RunZsnd(list);
        const QString said = run.out + run.err;
        QVERIFY2(run.exitCode == status, qPrintable(said));
        const int count = int(said.count(phrase));
        QVERIFY2(times == 0 ? count > 0 : count == times, qPrintable(said));
        // A command that changed nothing there leaves no store behind.
        if (!args.contains("batch"))
            QVERIFY2(!QFile::exists(dir_.filePath("fresh/.zephyra")), qPrintable(said));
    }

    // A replaced file changed since is packed only with --force; a folder
    // that cannot be written to is still packed.
    void packRefusesChangedFiles() {
        MakeFolders();
        QVERIFY(Fixtures::WriteFile(dir_.filePath("d/B.WSD"),
                                    Fixtures::ReadFile(dir_.filePath("d/B.WSD")) + "junk"));
        ZsndRun run = RunZsnd({"pack", dir_.filePath("d"), dir_.filePath("p.zip")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("B.WSD changed"), qPrintable(run.err));
        QVERIFY(!QFile::exists(dir_.filePath("p.zip")));
        run = RunZsnd({"pack", "--force", dir_.filePath("d"), dir_.filePath("p.zip")});
        QCOMPARE(run.exitCode, 0);

        QVERIFY(QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7755)));
        const QString store = dir_.filePath("e/.zephyra");
        for (const QString& path : {dir_.filePath("e"), store, store + "/blobs"})
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x5555)));
        QVERIFY(QDir(dir_.path()).mkpath("out"));
        QVERIFY(QFile::setPermissions(dir_.filePath("out"), QFileDevice::Permissions(0x7777)));
        QStringList command{ZSND_PATH, "pack", dir_.filePath("e"), dir_.filePath("out/e.zip")};
        if (::geteuid() == 0)
            command = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} + command;
        QProcess p;
        p.start(::geteuid() == 0 ? "setpriv" : command.takeFirst(), command);
        p.waitForFinished(60000);
        for (const QString& path : {dir_.filePath("e"), store, store + "/blobs"})
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x7755)));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        if (p.exitStatus() != QProcess::NormalExit || err.contains("setpriv:"))
            QSKIP(qPrintable("cannot run zsnd as an unprivileged user: " + err));
        QVERIFY2(p.exitCode() == 0, qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(tst_zsndstore)
#include "tst_zsndstore.moc"
