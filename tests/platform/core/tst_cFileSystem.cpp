#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "cFileSystem.h"

class tst_cFileSystem : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString MakeFile(const QString& name) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) qFatal("cannot create %s", qPrintable(path));
        return path;
    }

private slots:
    void formatSize_data() {
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        QTest::newRow("zero") << qint64(0) << "0 bytes"
                              << "0 bytes";
        QTest::newRow("532") << qint64(532) << "532 bytes"
                             << "532 bytes";
        QTest::newRow("1023") << qint64(1023) << "1023 bytes"
                              << "1023 bytes";
        QTest::newRow("1024") << qint64(1024) << "1.00 KB"
                              << "1,00 KB";
        QTest::newRow("1340") << qint64(1340) << "1.30 KB"
                              << "1,30 KB";
        QTest::newRow("23506") << qint64(23506) << "22.9 KB"
                               << "22,9 KB";
        // Two decimals below 10 of a unit, one below 100, none above.
        QTest::newRow("just below 10 KB") << qint64(10 * 1024 - 1) << "9.99 KB"
                                          << "9,99 KB";
        QTest::newRow("10 KB") << qint64(10 * 1024) << "10.0 KB"
                               << "10,0 KB";
        QTest::newRow("just below 100 KB") << qint64(100 * 1024 - 1) << "99.9 KB"
                                           << "99,9 KB";
        QTest::newRow("100 KB") << qint64(100 * 1024) << "100 KB"
                                << "100 KB";
        QTest::newRow("cut, not rounded") << qint64(1023 * 1024 + 1023) << "1023 KB"
                                          << "1023 KB";
        QTest::newRow("2400016") << qint64(2400016) << "2.28 MB"
                                 << "2,28 MB";
        QTest::newRow("largest 32-bit") << qint64(2147483647) << "1.99 GB"
                                        << "1,99 GB";
        QTest::newRow("largest 64-bit") << qint64(9223372036854775807LL) << "7.99 EB"
                                        << "7,99 EB";
        QTest::newRow("negative") << qint64(-5) << "-5 bytes"
                                  << "-5 bytes";
        QTest::newRow("negative KB") << qint64(-1340) << "-1.30 KB"
                                     << "-1,30 KB";
        QTest::newRow("most negative") << qint64(-2147483648LL) << "-2.00 GB"
                                       << "-2,00 GB";
    }
    void formatSize() {
        QFETCH(qint64, count);
        QFETCH(QString, english);
        QFETCH(QString, german);
        QCOMPARE(cFileSystem::FormatSize(count, QLocale(QLocale::English)), english);
        QCOMPARE(cFileSystem::FormatSize(count, QLocale(QLocale::German)), german);
    }

    void folderExistsCleansThePath() {
        cFileSystem fs;
        const QString file = MakeFile(QStringLiteral("a.snd"));
        QString path = QStringLiteral("  ") + dir_.path() + QStringLiteral("/  ");
        QVERIFY(fs.FolderExists(path));
        QCOMPARE(path, dir_.path());
        path = dir_.path();
        QVERIFY(fs.FolderExists(path));
        QCOMPARE(path, dir_.path());

        path = file;
        QVERIFY(!fs.FolderExists(path));
        path = dir_.filePath(QStringLiteral("missing/"));
        QVERIFY(!fs.FolderExists(path));
        QCOMPARE(path, dir_.filePath(QStringLiteral("missing")));
        path = QString();
        QVERIFY(!fs.FolderExists(path));
        // The root keeps its only separator.
        path = QStringLiteral("/");
        QVERIFY(fs.FolderExists(path));
        QCOMPARE(path, QStringLiteral("/"));
    }

    void fileExistsForFilesFoldersAndLinks() {
        cFileSystem fs;
        QVERIFY(fs.FileExists(MakeFile(QStringLiteral("b.wav"))));
        QVERIFY(fs.FileExists(dir_.path()));
        QVERIFY(!fs.FileExists(dir_.filePath(QStringLiteral("none.wav"))));
        QVERIFY(!fs.FileExists(QString()));
        const QString link = dir_.filePath(QStringLiteral("dangling"));
        QVERIFY(QFile::link(dir_.filePath(QStringLiteral("gone")), link));
        QVERIFY(fs.FileExists(link));
    }

    void drivesAreVolumeRoots() {
        cFileSystem fs;
        QVERIFY(fs.DriveExists(QStringLiteral("/")));
        QVERIFY(!fs.DriveExists(dir_.filePath(QStringLiteral("no-such-volume"))));
        QVERIFY(!fs.DriveExists(QString()));
    }

    void temporaryFiles() {
        cFileSystem fs;
        const QString folder = fs.GetWinTempPath();
        QVERIFY(folder.endsWith(QLatin1Char('/')));
        QCOMPARE(QDir(folder), QDir(QDir::tempPath()));

        const QString first = fs.GetWinTempFile();
        const QString second = fs.GetWinTempFile();
        QVERIFY(!first.isEmpty());
        QVERIFY(first != second);
        QVERIFY(first.startsWith(folder));
        const QFileInfo info(first);
        QVERIFY(info.isFile());
        QCOMPARE(info.size(), 0);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(first).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
        QFile::remove(first);
        QFile::remove(second);
    }

    void temporaryFileInAMissingFolderIsEmptyText() {
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(dir_.filePath(QStringLiteral("gone/deeper"))));
        const QString folder = cFileSystem().GetWinTempPath();
        const QString path = cFileSystem().GetWinTempFile();
        qputenv("TMPDIR", saved);
        QVERIFY(folder.isEmpty());
        QVERIFY(path.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_cFileSystem)
#include "tst_cFileSystem.moc"
