#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QtTest>

#include "AppError.h"
#include "NativeName.h"
#include "SoundFixtures.h"
#include "Trash.h"

namespace {

bool Exists(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

// By the names' bytes: QFile cannot open a name that is not valid UTF-8.
QByteArray Read(const QByteArray& path) {
    QByteArray text(256, '\0');
    const int fd = ::open(path.constData(), O_RDONLY);
    const ssize_t n = fd < 0 ? 0 : ::read(fd, text.data(), text.size());
    if (fd >= 0) ::close(fd);
    return text.left(n < 0 ? 0 : n);
}

bool Write(const QByteArray& path, const QByteArray& text) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    const bool written = fd >= 0 && ::write(fd, text.constData(), text.size()) == text.size();
    return ::close(fd) == 0 && written;
}

}  // namespace

class tst_Trash : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QByteArray root_;

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        root_ = QFile::encodeName(tmp_.path());
        // A new account's home: no data folder yet.
        qputenv("XDG_DATA_HOME", root_ + "/home/.local/share");
        QVERIFY(QDir().mkpath(tmp_.filePath("music")));
    }
    void cleanupTestCase() { Fixtures::RemoveTree(tmp_.path()); }

    // Names go in and come back by their bytes, a second file of one name
    // gets an entry of its own, and each entry says where it came from.
    void namesMakeTheRoundTripByteForByte() {
        const QByteArray trash = root_ + "/home/.local/share/Trash";
        struct Row {
            QByteArray name, entry, escapedPath;
        };
        const QList<Row> rows = {
            {"doomed.wsd", "doomed.wsd", "/music/doomed.wsd"},
            {"b\xff.snd", "b\xff.snd", "/music/b%FF.snd"},
            {"doomed.wsd", "doomed (2).wsd", "/music/doomed.wsd"},
            {"two words%", "two words%", "/music/two%20words%25"},
        };
        QList<QString> inTrash;
        for (const Row& row : rows) {
            const QByteArray path = root_ + "/music/" + row.name;
            QVERIFY(Write(path, row.entry));
            inTrash << Trash::MoveToTrash(NativeName::Decode(path));
            QCOMPARE(NativeName::Encode(inTrash.last()), trash + "/files/" + row.entry);
            QVERIFY(!Exists(path));
            QCOMPARE(Read(trash + "/files/" + row.entry), row.entry);
            const QByteArray info = Read(trash + "/info/" + row.entry + ".trashinfo");
            QVERIFY2(info.startsWith("[Trash Info]\nPath=" + root_.toPercentEncoding("/") +
                                     row.escapedPath + "\nDeletionDate="),
                     info.constData());
        }
        // Back out, newest first, each to where it was.
        for (qsizetype i = rows.size() - 1; i >= 0; --i) {
            const QByteArray path = root_ + "/music/" + rows[i].name;
            Trash::Restore(inTrash[i], NativeName::Decode(path));
            QCOMPARE(Read(path), rows[i].entry);
            QVERIFY(!Exists(trash + "/info/" + rows[i].entry + ".trashinfo"));
            if (rows[i].entry != rows[i].name) {
                // The older file of that name stays in the trash while the name is taken.
                QVERIFY_THROWS_EXCEPTION(AppError,
                                         Trash::Restore(inTrash[0], NativeName::Decode(path)));
                QVERIFY(Exists(trash + "/files/doomed.wsd"));
                QCOMPARE(::unlink(path.constData()), 0);
            }
        }
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 Trash::MoveToTrash(NativeName::Decode(root_ + "/music/gone.wsd")));
    }
};

QTEST_GUILESS_MAIN(tst_Trash)
#include "tst_Trash.moc"
