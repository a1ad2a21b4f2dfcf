#include <QTest>
#include <cerrno>

#include "AppError.h"

class tst_AppError : public QObject {
    Q_OBJECT

private slots:
    void fromErrno_data() {
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("missing file") << ENOENT << 53 << "File not found";
        QTest::newRow("missing folder in path") << ENOTDIR << 76 << "Path not found";
        QTest::newRow("no access") << EACCES << 70 << "Permission denied";
        QTest::newRow("disk full") << ENOSPC << 61 << "Disk full";
        QTest::newRow("no memory") << ENOMEM << 7 << "Out of memory";
        QTest::newRow("i/o") << EIO << 57 << "Device I/O error";
        QTest::newRow("long name") << ENAMETOOLONG << 52 << "Bad file name or number";
        QTest::newRow("read-only fs") << EROFS << 75 << "Path/File access error";
    }
    void fromErrno() {
        QFETCH(int, err);
        QFETCH(int, number);
        QFETCH(QString, text);
        const AppError e = AppError::fromErrno(err, QStringLiteral("/tmp/a.snd"), "mod.proc");
        QCOMPARE(e.Number, number);
        QCOMPARE(e.Description, text + QStringLiteral(": /tmp/a.snd"));
        QCOMPARE(e.Source, QStringLiteral("mod.proc"));
        QCOMPARE(e.LastDllError, err);
    }

    void whatCarriesTheDescription() {
        const AppError e(62, QStringLiteral("Input past end of file"));
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Input past end of file"));
        QCOMPARE(AppError::Standard(11).Description, QStringLiteral("Division by zero"));
        QCOMPARE(AppError::fromErrno(ENOENT, {}).Description, QStringLiteral("File not found"));
    }
};

QTEST_APPLESS_MAIN(tst_AppError)
#include "tst_AppError.moc"
