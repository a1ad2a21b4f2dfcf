#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "SoundFixtures.h"
#include "ZsndRun.h"

extern char** environ;

namespace {

constexpr int kFiles = 6;

ZsndRun Zsnd(const QStringList& args) {
    ZsndRun run = RunZsnd(args);
    run.out += run.err;
    return run;
}

QString Name(int i) {
    return QStringLiteral("S%1.%2").arg(i).arg(i % 2 ? "SND" : "WSD");
}

// Watches a folder and the store that appears in it, counting what happens
// to their entries.
class Watch {
public:
    explicit Watch(const QString& folder) : folder_(folder), fd_(inotify_init1(IN_NONBLOCK)) {
        Add(folder);
    }
    ~Watch() { ::close(fd_); }

    // Events read within `ms`; adds a watch on each new folder.
    int Wait(int ms) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0) return 0;
        alignas(inotify_event) char buffer[8192];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        int count = 0;
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((e->mask & IN_ISDIR) && (e->mask & IN_CREATE))
                Add(folder_ + "/.zephyra" + (QByteArray(e->name) == "blobs" ? "/blobs" : ""));
            ++count;
            at += ssize_t(sizeof(inotify_event) + e->len);
        }
        return count;
    }

private:
    void Add(const QString& path) {
        inotify_add_watch(fd_, QFile::encodeName(path).constData(),
                          IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE | IN_DELETE);
    }

    QString folder_;
    int fd_;
};

// Runs zsnd with `args`; sends it `sig` at the `killAt`-th event in `folder`
// (never when 0). Returns the events seen and whether the signal ended it
// before it ended by itself.
std::pair<int, bool> RunKilled(const QStringList& args, const QString& folder, int killAt,
                               int sig = SIGKILL) {
    Watch watch(folder);
    QList<QByteArray> bytes{QByteArray(ZSND_PATH)};
    for (const QString& a : args) bytes << QFile::encodeName(a);
    std::vector<char*> argv;
    for (QByteArray& b : bytes) argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return {-1, false};
    posix_spawn_file_actions_destroy(&actions);
    int events = 0, status = 0;
    bool killed = false;
    for (;;) {
        events += watch.Wait(5);
        if (killAt > 0 && events >= killAt && !killed) killed = ::kill(pid, sig) == 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) break;
    }
    events += watch.Wait(0);
    return {events, killed && WIFSIGNALED(status)};
}

}  // namespace

class tst_ReplaceKill : public QObject {
    Q_OBJECT

    // In memory where there is a tmpfs: a kill is the same there, and the
    // hundreds of flushes cost nothing.
    QTemporaryDir dir_{QDir("/dev/shm").exists() ? "/dev/shm/zs-kill-XXXXXX"
                                                 : QDir::tempPath() + "/zs-kill-XXXXXX"};
    QMap<QString, QByteArray> stock_, modded_;
    QString pack_;

    QString Fresh() {
        const QString folder = dir_.path() + "/game";
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        for (auto it = stock_.begin(); it != stock_.end(); ++it)
            Fixtures::WriteFile(folder + "/" + it.key(), it.value());
        return folder;
    }

    // Every file is whole: the stock one or the pack's. Returns how many are the pack's.
    int CheckWhole(const QString& folder) {
        int modded = 0;
        for (auto it = stock_.begin(); it != stock_.end(); ++it) {
            const QByteArray now = Fixtures::ReadFile(folder + "/" + it.key());
            if (now == modded_[it.key()])
                ++modded;
            else if (now != it.value())
                return -1;
        }
        return modded;
    }

    // After a run killed anywhere: whole files, an interrupted run reported,
    // and a restore of the folder giving back exactly the stock files.
    void CheckAfterKill(const QString& folder, const QString& what) {
        const int modded = CheckWhole(folder);
        QVERIFY2(modded >= 0, qPrintable(what + ": a file is neither old nor new"));
        const bool journal = QFile::exists(folder + "/.zephyra/journal.json");
        const ZsndRun status = Zsnd({"status", folder});
        if (journal) {
            QVERIFY2(status.exitCode == 1 && status.out.contains("interrupted"),
                     qPrintable(what + status.out));
        } else {
            // Without a journal the run either had not begun changing files or had finished.
            QVERIFY2(modded == 0 || modded == kFiles, qPrintable(what));
            QVERIFY2(status.exitCode == 0, qPrintable(what + status.out));
        }
        const ZsndRun restore = Zsnd({"restore", folder});
        QVERIFY2(restore.exitCode == 0, qPrintable(what + restore.out));
        QStringList names = Fixtures::Entries(folder);
        names.removeAll(".zephyra");
        QCOMPARE(names, stock_.keys());
        for (auto it = stock_.begin(); it != stock_.end(); ++it)
            QVERIFY2(Fixtures::ReadFile(folder + "/" + it.key()) == it.value(),
                     qPrintable(what + it.key()));
        QCOMPARE(Zsnd({"status", folder}).exitCode, 0);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        for (int i = 0; i < kFiles; ++i)
            stock_[Name(i)] = Fixtures::GameFile({0, 100 + i, -1, 22050, 16, 1 + i % 2, 0},
                                                 Fixtures::Samples(60000 + 4000 * i));
        const QString mod = Fresh();
        for (int i = 0; i < kFiles; ++i) {
            const QString source = dir_.path() + QStringLiteral("/new%1.wav").arg(i);
            QVERIFY(Fixtures::WriteFile(source,
                                        Fixtures::WavFile({}, Fixtures::Samples(20000 + 400 * i))));
            QCOMPARE(Zsnd({"replace", mod + "/" + Name(i), source}).exitCode, 0);
            modded_[Name(i)] = Fixtures::ReadFile(mod + "/" + Name(i));
        }
        pack_ = dir_.path() + "/mod.zip";
        QCOMPARE(Zsnd({"pack", mod, pack_}).exitCode, 0);
    }

    // Each row: the command, and the signal sent at each point of its run in
    // turn. SIGKILL may leave a journal, which status reports and restore
    // undoes; a signal the program catches rolls the run back itself first.
    void signalledAnywhere_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("sig");
        QTest::newRow("apply, killed") << "apply" << SIGKILL;
        QTest::newRow("restore, killed") << "restore" << SIGKILL;
        QTest::newRow("apply, terminated") << "apply" << SIGTERM;
        QTest::newRow("restore --force, interrupted") << "restore --force" << SIGINT;
    }

    void signalledAnywhere() {
        QFETCH(QString, command);
        QFETCH(int, sig);
        const bool apply = command == "apply";
        const auto prepare = [&]() -> QString {
            const QString folder = Fresh();
            if (!apply && Zsnd({"apply", pack_, folder}).exitCode != 0)
                QTest::qFail("the pack was not applied", __FILE__, __LINE__);
            return folder;
        };
        const auto args = [&](const QString& folder) {
            QStringList a = command.split(' ');
            if (apply) a << pack_;
            return a << folder;
        };
        QString folder = prepare();
        const int total = RunKilled(args(folder), folder, 0).first;
        QCOMPARE(CheckWhole(folder), apply ? kFiles : 0);
        QVERIFY(total > 2 * kFiles);
        int interrupted = 0;
        for (int at = 1; at <= total; ++at) {
            folder = prepare();
            const auto [events, killed] = RunKilled(args(folder), folder, at, sig);
            const QString what =
                QStringLiteral("%1 signalled (%2) at event %3: ").arg(command).arg(sig).arg(at);
            const bool journal = QFile::exists(folder + "/.zephyra/journal.json");
            interrupted += killed && journal;
            if (sig != SIGKILL) {
                QVERIFY2(!journal, qPrintable(what + "a journal was left"));
                const QStringList blobs = Fixtures::Entries(folder + "/.zephyra/blobs");
                QVERIFY2(blobs.filter("staged-").isEmpty(), qPrintable(what + blobs.join(' ')));
            }
            CheckAfterKill(folder, what);
            if (QTest::currentTestFailed()) return;
        }
        qInfo("%d signal points, %d left a journal", total, interrupted);
        if (sig == SIGKILL && apply) QVERIFY(interrupted > 0);
    }
};

QTEST_GUILESS_MAIN(tst_ReplaceKill)
#include "tst_ReplaceKill.moc"
