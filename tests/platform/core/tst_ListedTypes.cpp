#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "ListedTypes.h"
#include "SoundFixtures.h"

// Types read from folder listings must agree with a look at each name, or
// leave the name to that look.
class tst_ListedTypes : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;

private slots:
    void cleanupTestCase() {
        QVERIFY(::chdir("/") == 0);
        Fixtures::RemoveTree(tmp_.path());  // by the names' bytes
    }

    void typesOfNamesInOneFolder() {
        const QByteArray root = QFile::encodeName(tmp_.path());
        QVERIFY(::chdir(root.constData()) == 0);
        QList<QByteArray> names;
        for (int i = 0; i < ListedTypes::MinNamesInFolder; ++i) {
            names << "f" + QByteArray::number(i) + ".snd";
            QFile f(QString::fromLatin1(names.last()));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir().mkdir("sub"));
        QVERIFY(QFile::link("f0.snd", "link.snd"));
        QVERIFY(::mkfifo("pipe.snd", 0600) == 0);
        const QByteArray odd("b\xff.snd");
        QVERIFY(::close(::open(odd.constData(), O_CREAT | O_WRONLY, 0600)) == 0);
        const struct {
            QByteArray name;
            unsigned char type;
        } rows[] = {
            {"sub", DT_DIR},
            {"link.snd", DT_LNK},
            {"pipe.snd", DT_FIFO},
            {odd, DT_REG},
            {"f1.snd", DT_REG},
            {"f1.snd", DT_REG},  // twice
            {"gone.snd", DT_UNKNOWN},
            {"sub/", DT_UNKNOWN},
            {".", DT_UNKNOWN},
            {root + "/f2.snd", DT_UNKNOWN},  // one name of its folder: looked at by the caller
        };
        for (const auto& row : rows) names << row.name;
        const std::vector<unsigned char> types = ListedTypes::Of(names);
        QCOMPARE(qsizetype(types.size()), names.size());
        for (int i = 0; i < ListedTypes::MinNamesInFolder; ++i) QCOMPARE(types[size_t(i)], DT_REG);
        for (size_t i = 0; i < std::size(rows); ++i) {
            const size_t at = size_t(ListedTypes::MinNamesInFolder) + i;
            QVERIFY2(types[at] == rows[i].type, rows[i].name.constData());
        }
        // Fewer names than make a listing worth reading: none is settled.
        const std::vector<unsigned char> few = ListedTypes::Of(names.mid(0, 3));
        QCOMPARE(few, std::vector<unsigned char>(3, DT_UNKNOWN));
    }
};

QTEST_GUILESS_MAIN(tst_ListedTypes)
#include "tst_ListedTypes.moc"
