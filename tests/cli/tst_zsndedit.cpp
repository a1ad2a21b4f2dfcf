#include <signal.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <functional>

#include "SoundFixtures.h"

using Fixtures::Game;

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

// zsnd run as a user would; exit code -1 when it did not end normally.
Run Zsnd(const QStringList& args, const QString& workDir = {}) {
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(ZSND_PATH), args);
    const bool ended = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return {ended ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

constexpr int kRate = 22050;
constexpr qint64 kFrames = 22050;

// Values (centred on 0) of a file's samples after its 28-byte game header.
std::vector<int> Values(const QByteArray& file, int bits) {
    std::vector<int> v;
    for (qsizetype i = 28; i + bits / 8 <= file.size(); i += bits / 8)
        v.push_back(bits == 8 ? quint8(file[i]) - 128 : Fixtures::Get16(file, int(i)));
    return v;
}

QByteArray Stereo16() {
    QByteArray s;
    for (qint64 f = 0; f < kFrames; ++f) {
        const double tone = 20000 * std::sin(2 * M_PI * 440 * double(f) / kRate);
        for (int c = 0; c < 2; ++c)
            Fixtures::Put16(s, qint64(tone) + (f * 7919 + c * 31) % 201 - 100 + 300);
    }
    return s;
}

QByteArray Mono8() {
    QByteArray s;
    for (qint64 f = 0; f < kFrames; ++f)
        s.append(char(128 + qRound(120 * std::sin(2 * M_PI * 300 * double(f) / kRate))));
    return s;
}

double Percentile99Step(const std::vector<int>& v, int channels) {
    std::vector<int> steps;
    for (size_t i = channels; i < v.size(); ++i) steps.push_back(std::abs(v[i] - v[i - channels]));
    std::sort(steps.begin(), steps.end());
    return steps[steps.size() * 99 / 100];
}

}  // namespace

class tst_zsndedit : public QObject {
    Q_OBJECT

private slots:
    void init();
    void operationsAreExact();
    void refusalsWriteNothing();
    void signalDuringSaveLeavesSourceWhole();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_zsndedit::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    Fixtures::WriteFile(dir_->filePath("s16.wsd"),
                        Fixtures::GameFile(Game{.flag = 0, .id = 77, .rate = kRate}, Stereo16()));
    Fixtures::WriteFile(
        dir_->filePath("m8.snd"),
        Fixtures::GameFile(Game{.flag = 1, .id = 5, .rate = kRate, .bits = 8, .channels = 1},
                           Mono8()));
}

// Each operation's result, sample for sample, and the header values kept.
void tst_zsndedit::operationsAreExact() {
    using Check = std::function<QString(const std::vector<int>& in, const std::vector<int>& out)>;
    const qint64 fade50ms = 1103;  // 50 ms at 22050 Hz, rounded
    const struct {
        const char* name;
        const char* source;
        QStringList ops;
        qint64 frames;
        Check check;
    } rows[] = {
        {"gain -6.0206 dB halves",
         "s16.wsd",
         {"gain=-6.0206"},
         kFrames,
         [](auto& in, auto& out) {
             for (size_t i = 0; i < in.size(); ++i)
                 if (std::abs(out[i] - in[i] / 2.0) > 1) return QString("sample %1").arg(i);
             return QString();
         }},
        {"normalize to -1 dBFS",
         "s16.wsd",
         {"normalize=-1"},
         kFrames,
         [](auto&, auto& out) {
             int peak = 0;
             for (int v : out) peak = std::max(peak, std::abs(v));
             const double db = 20 * std::log10(peak / 32768.0);
             return std::abs(db + 1) <= 0.01 ? QString() : QString("peak %1 dBFS").arg(db);
         }},
        {"fade in from silence",
         "s16.wsd",
         {"fade-in=1000"},
         kFrames,
         [](auto& in, auto& out) {
             if (out[0] != 0 || out[1] != 0) return QString("first frame not silent");
             for (size_t i = 2; i < 2000; ++i)
                 if (std::abs(out[i]) > std::abs(in[i])) return QString("louder at %1").arg(i);
             for (size_t i = 2000; i < in.size(); ++i)
                 if (out[i] != in[i]) return QString("touched at %1").arg(i);
             return QString();
         }},
        {"fade out to silence",
         "s16.wsd",
         {"fade-out=50ms"},
         kFrames,
         [=](auto& in, auto& out) {
             if (out[out.size() - 1] != 0 || out[out.size() - 2] != 0)
                 return QString("last frame not silent");
             for (size_t i = 0; i < size_t(2 * (kFrames - fade50ms)); ++i)
                 if (out[i] != in[i]) return QString("touched at %1").arg(i);
             return QString();
         }},
        {"crop",
         "s16.wsd",
         {"crop=100:199"},
         100,
         [](auto& in, auto& out) {
             return std::equal(out.begin(), out.end(), in.begin() + 200) ? QString()
                                                                         : QString("other frames");
         }},
        {"crop by seconds, end excluded",
         "s16.wsd",
         {"crop=0.1s:200ms"},
         2205,
         [](auto& in, auto& out) {
             return std::equal(out.begin(), out.end(), in.begin() + 2 * 2205) ? QString()
                                                                              : QString("other");
         }},
        {"delete",
         "s16.wsd",
         {"delete=100:199"},
         kFrames - 100,
         [](auto& in, auto& out) {
             return std::equal(out.begin(), out.begin() + 200, in.begin()) &&
                            std::equal(out.begin() + 200, out.end(), in.begin() + 400)
                        ? QString()
                        : QString("other frames");
         }},
        {"8-bit silence is 128",
         "m8.snd",
         {"silence=0:99"},
         kFrames,
         [](auto& in, auto& out) {
             for (size_t i = 0; i < in.size(); ++i)
                 if (out[i] != (i < 100 ? 0 : in[i])) return QString("sample %1").arg(i);
             return QString();
         }},
        {"8-bit gain clips, never wraps",
         "m8.snd",
         {"gain=12"},
         kFrames,
         [](auto& in, auto& out) {
             for (size_t i = 0; i < in.size(); ++i) {
                 const int want =
                     std::clamp(int(std::lround(in[i] * std::pow(10, 0.6))), -128, 127);
                 if (std::abs(out[i] - want) > 1) return QString("sample %1").arg(i);
             }
             return QString();
         }},
        {"DC offset removed",
         "s16.wsd",
         {"dc"},
         kFrames,
         [](auto&, auto& out) {
             double sum[2] = {0, 0};
             for (size_t i = 0; i < out.size(); ++i) sum[i % 2] += out[i];
             return std::abs(sum[0] / kFrames) < 1 && std::abs(sum[1] / kFrames) < 1
                        ? QString()
                        : QString("mean %1").arg(sum[0] / kFrames);
         }},
        {"seamless loop",
         "s16.wsd",
         {"loop=50ms"},
         kFrames - fade50ms,
         [](auto& in, auto& out) {
             const double limit = Percentile99Step(in, 2);
             for (size_t c = 0; c < 2; ++c) {
                 const int jump = std::abs(out[c] - out[out.size() - 2 + c]);
                 if (jump > limit) return QString("seam jump %1 > %2").arg(jump).arg(limit);
             }
             return QString();
         }},
        {"in order",
         "s16.wsd",
         {"crop=0:999", "fade-out=1000", "gain=6"},
         1000,
         [](auto&, auto& out) { return out[1998] == 0 ? QString() : QString("not faded"); }},
        {"the last frame alone",
         "s16.wsd",
         {"crop=22049:1s"},
         1,
         [](auto& in, auto& out) {
             return out[0] == in[in.size() - 2] && out[1] == in[in.size() - 1] ? QString()
                                                                               : QString("other");
         }},
        {"a long chain rounds and clips at every step", "m8.snd",
         [] {
             QStringList ops;
             for (int i = 0; i < 6; ++i)
                 ops << "gain=7"
                     << "gain=-6.5";
             return ops;
         }(),
         kFrames,
         [](auto& in, auto& out) {
             for (size_t i = 0; i < in.size(); ++i) {
                 double v = in[i];
                 for (int step = 0; step < 12; ++step)
                     v = std::clamp(std::nearbyint(v * std::pow(10, (step % 2 ? -6.5 : 7) / 20)),
                                    -128.0, 127.0);
                 if (out[i] != int(v))
                     return QString("sample %1: %2, not %3").arg(i).arg(out[i]).arg(v);
             }
             return QString();
         }},
    };
    for (const auto& row : rows) {
        const QString source = dir_->filePath(row.source);
        const QByteArray before = Fixtures::ReadFile(source);
        const QString dest = dir_->filePath(QStringLiteral("OUT.") + QFileInfo(source).suffix());
        const Run r = Zsnd(QStringList{"edit", source, dest} + row.ops);
        QVERIFY2(r.exitCode == 0, qPrintable(row.name + r.err));
        const QByteArray after = Fixtures::ReadFile(dest);
        const QList<qint32> h = Fixtures::GameFields(before);
        const int frameBytes = h[4] / 8 * h[5];
        QCOMPARE(Fixtures::GameFields(after),
                 QList<qint32>({h[0], h[1], qint32(row.frames * frameBytes), h[3], h[4], h[5], 0}));
        QCOMPARE(after.size(), 28 + row.frames * frameBytes);
        const QString problem = row.check(Values(before, h[4]), Values(after, h[4]));
        QVERIFY2(problem.isEmpty(), qPrintable(QString(row.name) + ": " + problem));
    }
}

// A mistake anywhere in the operations is a usage error found before writing,
// above all a number far outside the sound: none may wrap into it.
void tst_zsndedit::refusalsWriteNothing() {
    Fixtures::WriteFile(dir_->filePath("OUT.WSD"), "old");
    Fixtures::WriteFile(dir_->filePath("empty.wsd"), Fixtures::GameFile(Game{.rate = kRate}, {}));
    const QByteArray source = Fixtures::ReadFile(dir_->filePath("s16.wsd"));
    const QString past = "is past the end: the sound has frames 0 to 22049";
    const QString noFrames = "an edit needs at least one frame, before and after";
    const struct {
        QStringList ops;
        QString says;  // a part of the message
    } rows[] = {
        {{}, "needs SOURCE, DEST"},
        {{"bogus"}, "unknown operation"},
        {{"gain"}, "unknown operation"},
        {{"gain=loud"}, "not a number"},
        {{"gain=1e308"}, "give -96 to 96"},
        {{"gain=96.01"}, "give -96 to 96"},
        {{"normalize=3"}, "give -96 to 0"},
        {{"normalize=-96.5"}, "give -96 to 0"},
        {{"dc=1"}, "unknown operation"},
        {{"crop=5"}, "give a range as A:B"},
        {{"crop=9:3"}, "ends before it begins"},
        {{"crop=0:22050"}, "22050 " + past},
        {{"silence=1s:2s"}, "1s " + past},
        {{"silence=900000000000000s:10"}, "900000000000000s " + past},
        {{"crop=500000000000000s:99"}, "500000000000000s " + past},
        {{"delete=0:99999999999999999999"}, "99999999999999999999 " + past},
        {{"silence=0:9223372036854775807"}, "9223372036854775807 " + past},
        {{"crop=0:10x"}, "not a time"},
        {{"crop=-1:10"}, "not a time"},
        {{"fade-in=22051"}, "longer than the sound allows"},
        {{"fade-in=1e400ms"}, "not a time"},
        {{"fade-out=99999999999999999999ms"}, "longer than the sound allows"},
        {{"fade-out=-1"}, "not a time"},
        {{"fade-in=2x"}, "not a time"},
        {{"fade-in=nans"}, "not a time"},
        {{"loop=0"}, "no frames"},
        {{"loop=11026"}, "longer than the sound allows"},
        {{"gain=-6", "delete=0:22048", "fade-in=2"}, "longer than the sound allows"},
        // An edit neither starts from nor leaves a sound of no frames.
        {{"delete=0:22049"}, "delete=0:22049 would delete every frame; " + noFrames},
        {{"crop=0:9", "delete=0:9"}, "would delete every frame; " + noFrames},
    };
    for (const auto& row : rows) {
        const Run r = Zsnd(QStringList{"edit", "s16.wsd", "OUT.WSD"} + row.ops, dir_->path());
        const QString name = row.ops.join(' ') + ": " + r.err;
        QVERIFY2(r.exitCode == 2 && r.err.contains("zsnd --help"), qPrintable(name));
        QVERIFY2(r.err.contains(row.says), qPrintable(name));
        QCOMPARE(Fixtures::ReadFile(dir_->filePath("OUT.WSD")), QByteArray("old"));
    }
    const Run r = Zsnd({"edit", "empty.wsd", "OUT.WSD", "gain=1"}, dir_->path());
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains("zsnd: empty.wsd holds no frames; " + noFrames) &&
                 r.err.count("empty.wsd") == 1,
             qPrintable(r.err));
    QCOMPARE(Fixtures::ReadFile(dir_->filePath("s16.wsd")), source);
    QCOMPARE(Fixtures::Entries(dir_->path()),
             QStringList({"OUT.WSD", "empty.wsd", "m8.snd", "s16.wsd"}));
    const Run help = Zsnd({"edit", "--help"});
    QVERIFY2(help.exitCode == 0 && help.out.contains("loop=T"), qPrintable(help.out));
}

// A signal while an edit is written over its own source leaves the source as
// it was, and no temporary file.
void tst_zsndedit::signalDuringSaveLeavesSourceWhole() {
    // On a tmpfs when there is one, so that the disk's speed does not matter.
    QTemporaryDir shm(QStringLiteral("/dev/shm/zsnd-test-XXXXXX"));
    const QString folder = shm.isValid() ? shm.path() : dir_->path();
    const QString source = folder + "/big.snd";
    const QByteArray head = Fixtures::GameFile(Game{.length = 1 << 28}, Fixtures::Samples(1 << 20));
    QVERIFY(Fixtures::WriteFile(source, head));
    QVERIFY(QFile::resize(source, 28 + (qint64(1) << 28)));
    QProcess p;
    p.start(ZSND_PATH, {"edit", source, source, "gain=-3", "fade-in=1s"});
    QVERIFY(p.waitForStarted());
    const QRegularExpression partial(R"(^\.big\.snd\.\w{6}\.partial$)");
    bool seen = false;
    QElapsedTimer clock;
    clock.start();
    while (!seen && p.state() == QProcess::Running && clock.elapsed() < 60000)
        for (const QString& name : Fixtures::Entries(folder))
            seen = seen || partial.match(name).hasMatch();
    QVERIFY2(seen, "no temporary file appeared while saving");
    QCOMPARE(::kill(static_cast<pid_t>(p.processId()), SIGTERM), 0);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::CrashExit);
    const QStringList left = Fixtures::Entries(folder);
    QVERIFY2(left.contains("big.snd") && !left.join(' ').contains(".partial"),
             qPrintable(left.join(' ')));
    QFile file(source);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.size(), 28 + (qint64(1) << 28));
    QVERIFY(file.read(head.size()) == head);
}

QTEST_GUILESS_MAIN(tst_zsndedit)
#include "tst_zsndedit.moc"
