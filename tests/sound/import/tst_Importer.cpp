#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <functional>
#include <vector>

#include "AppError.h"
#include "Importer.h"
#include "SignalFixtures.h"
#include "SoundFixtures.h"

using Fixtures::kPi;
using Fixtures::Sine;
using Fixtures::WriteSignal;

namespace {

// The 16-bit signed samples after a game header, as doubles at full scale ±1.
std::vector<double> GameSamples16(const QByteArray& file) {
    std::vector<double> s;
    for (qsizetype i = 28; i + 1 < file.size(); i += 2)
        s.push_back(Fixtures::Get16(file, int(i)) / 32768.0);
    return s;
}

// Least-squares fit of a sine at `hz` (plus an offset) over samples [from, to):
// its amplitude, and the power of what remains (noise and distortion).
struct SineFit {
    double amplitude = 0, residualPower = 0;
};

SineFit FitSine(const std::vector<double>& x, qint64 from, qint64 to, double hz, int rate) {
    double ss = 0, sc = 0, cc = 0, xs = 0, xc = 0, sum = 0;
    const double n = double(to - from);
    for (qint64 i = from; i < to; ++i) {
        const double s = std::sin(2 * kPi * hz * double(i) / rate);
        const double c = std::cos(2 * kPi * hz * double(i) / rate);
        ss += s * s, sc += s * c, cc += c * c, xs += x[i] * s, xc += x[i] * c, sum += x[i];
    }
    const double det = ss * cc - sc * sc;
    const double a = (xs * cc - xc * sc) / det, b = (xc * ss - xs * sc) / det;
    const double mean = sum / n;
    double residual = 0;
    for (qint64 i = from; i < to; ++i) {
        const double fit = a * std::sin(2 * kPi * hz * double(i) / rate) +
                           b * std::cos(2 * kPi * hz * double(i) / rate) + mean;
        residual += (x[i] - fit) * (x[i] - fit);
    }
    return {std::hypot(a, b), residual / n};
}

// The amplitude of the component at `hz` (Goertzel filter over [from, to)).
double Goertzel(const std::vector<double>& x, qint64 from, qint64 to, double hz, int rate) {
    const double w = 2 * kPi * hz / rate, coeff = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (qint64 i = from; i < to; ++i) {
        const double s0 = x[i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return 2 * std::sqrt(std::max(power, 0.0)) / double(to - from);
}

double Db(double ratio) {
    return 20 * std::log10(ratio);
}

ImportTarget Target(const QString& type, int rate, int bits, int channels) {
    ImportTarget t;
    t.Type = type;
    t.Rate = rate;
    t.Bits = bits;
    t.Channels = channels;
    t.EightBitFlag = ImportTarget::FlagForBits(bits);
    return t;
}

}  // namespace

class tst_Importer : public QObject {
    Q_OBJECT

private slots:
    void init();
    void frameCounts_data();
    void frameCounts();
    void sineKeepsLevelAndPurity();
    void aliasesAreRejected();
    void eightBitSilenceIs128();
    void oppositeStereoGivesSilentMono();
    void overshootIsClippedAndCounted_data();
    void overshootIsClippedAndCounted();
    void unchangedShapeCopiesValues();
    void channelRules();
    void headers();
    void defaults_data();
    void defaults();
    void failuresKeepDestination();

private:
    QString Path(const QString& name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_Importer::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void tst_Importer::frameCounts_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("inRate");
    QTest::addColumn<int>("outRate");
    QTest::addColumn<qint64>("frames");
    const int wav24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    QTest::newRow("48000 to 22050") << wav24 << 48000 << 22050 << qint64(96001);
    QTest::newRow("44100 to 8000") << wav24 << 44100 << 8000 << qint64(44100 * 3 + 7);
    QTest::newRow("8000 to 44100") << wav24 << 8000 << 44100 << qint64(12345);
    QTest::newRow("96000 to 6000") << wav24 << 96000 << 6000 << qint64(100000);
    QTest::newRow("flac 48000 to 11025")
        << (SF_FORMAT_FLAC | SF_FORMAT_PCM_16) << 48000 << 11025 << qint64(70000);
    QTest::newRow("ogg 44100 to 16000")
        << (SF_FORMAT_OGG | SF_FORMAT_VORBIS) << 44100 << 16000 << qint64(44100);
    QTest::newRow("opus 48000 to 22050")
        << (SF_FORMAT_OGG | SF_FORMAT_OPUS) << 48000 << 22050 << qint64(48000);
    QTest::newRow("mp3 44100 to 22050")
        << (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) << 44100 << 22050 << qint64(44100);
    QTest::newRow("same rate") << wav24 << 22050 << 22050 << qint64(5000);
    QTest::newRow("a single frame") << wav24 << 48000 << 44100 << qint64(1);
}

// The result lasts as long as the source: round(in × out / in_rate) ± 1 frames.
void tst_Importer::frameCounts() {
    QFETCH(int, format);
    QFETCH(int, inRate);
    QFETCH(int, outRate);
    QFETCH(qint64, frames);
    const int major = format & SF_FORMAT_TYPEMASK;
    const QString ext = major == SF_FORMAT_WAV    ? "wav"
                        : major == SF_FORMAT_FLAC ? "flac"
                        : major == SF_FORMAT_MPEG ? "mp3"
                                                  : "ogg";
    const QString src = Path("in." + ext);
    QVERIFY(WriteSignal(src, format, inRate, 2, frames, Sine(0.3, 440, inRate)));
    const ImportReport r = Import(src, Path("OUT.SND"), Target("SND", outRate, 16, 2));
    QCOMPARE(r.FramesIn, frames);
    const qint64 expected = std::llround(double(frames) * outRate / inRate);
    QVERIFY2(std::abs(r.FramesOut - expected) <= 1,
             qPrintable(QString("%1 frames, expected %2").arg(r.FramesOut).arg(expected)));
    QCOMPARE(Fixtures::ReadFile(Path("OUT.SND")).size(), 28 + r.FramesOut * 4);
    QCOMPARE(r.DataLength, r.FramesOut * 4);
}

// A -6 dBFS 1 kHz sine, 48 kHz 24-bit stereo to 22050 Hz 16-bit mono: its
// level within 0.1 dB, noise and distortion at least 85 dB below it.
void tst_Importer::sineKeepsLevelAndPurity() {
    const double amplitude = std::pow(10.0, -6.0 / 20);
    const QString src = Path("sine.wav");
    QVERIFY(WriteSignal(src, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2, 48000 * 2,
                        Sine(amplitude, 1000, 48000)));
    const ImportReport r = Import(src, Path("SINE.SND"), Target("SND", 22050, 16, 1));
    QVERIFY(r.Dithered);
    QCOMPARE(r.Clipped, 0);
    const std::vector<double> out = GameSamples16(Fixtures::ReadFile(Path("SINE.SND")));
    // 441 samples hold exactly 20 periods; skip the filter's start and end.
    const SineFit fit = FitSine(out, 2205, 2205 + 441 * 90, 1000, 22050);
    const double level = Db(fit.amplitude / amplitude);
    const double thdN = 10 * std::log10(fit.residualPower / (fit.amplitude * fit.amplitude / 2));
    qInfo("level %+.4f dB, THD+N %.2f dB", level, thdN);
    QVERIFY2(std::abs(level) <= 0.1, qPrintable(QString::number(level)));
    QVERIFY2(thdN <= -85, qPrintable(QString::number(thdN)));
}

// A 15 kHz sine cannot exist at 22050 Hz; its alias at 7050 Hz must be at
// least 90 dB below the input.
void tst_Importer::aliasesAreRejected() {
    const double amplitude = std::pow(10.0, -1.0 / 20);
    const QString src = Path("high.wav");
    QVERIFY(WriteSignal(src, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 1, 48000 * 2,
                        Sine(amplitude, 15000, 48000)));
    Import(src, Path("HIGH.SND"), Target("SND", 22050, 16, 1));
    const std::vector<double> out = GameSamples16(Fixtures::ReadFile(Path("HIGH.SND")));
    const double alias = Db(Goertzel(out, 2205, 2205 + 22050, 7050, 22050) / amplitude);
    double power = 0;
    for (qint64 i = 2205; i < 2205 + 22050; ++i) power += out[i] * out[i];
    const double total = 10 * std::log10(power / 22050 / (amplitude * amplitude / 2));
    qInfo("alias %.1f dB, everything %.1f dB below the input", -alias, -total);
    QVERIFY2(alias <= -90, qPrintable(QString::number(alias)));
    QVERIFY2(total <= -80, qPrintable(QString::number(total)));
}

void tst_Importer::eightBitSilenceIs128() {
    const QString src = Path("quiet.wav");
    QVERIFY(WriteSignal(src, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 30000,
                        [](qint64, int) { return 0.0; }));
    for (int rate : {44100, 22050}) {
        const ImportReport r = Import(src, Path("Q.WSD"), Target("WSD", rate, 8, 1));
        const QByteArray out = Fixtures::ReadFile(Path("Q.WSD"));
        QCOMPARE(out.size(), 28 + r.FramesOut);
        QVERIFY(r.FramesOut > 0);
        QCOMPARE(out.mid(28), QByteArray(r.FramesOut, char(128)));
    }
}

void tst_Importer::oppositeStereoGivesSilentMono() {
    const QString src = Path("wide.flac");
    QVERIFY(
        WriteSignal(src, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 48000, 2, 48000, [](qint64 f, int c) {
            const double v = 0.7 * std::sin(2 * kPi * 333 * double(f) / 48000);
            return c == 0 ? v : -v;
        }));
    for (int rate : {44100, 22050}) {
        const ImportReport r = Import(src, Path("W.SND"), Target("SND", rate, 16, 1));
        QCOMPARE(Fixtures::ReadFile(Path("W.SND")).mid(28), QByteArray(r.FramesOut * 2, '\0'));
    }
}

void tst_Importer::overshootIsClippedAndCounted_data() {
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("expected");  // the sample bytes of the five frames
    QTest::newRow("16-bit") << 16 << QByteArray("\xff\x7f\x00\x80\x00\x20\xff\x7f\x00\x80", 10);
    QTest::newRow("8-bit") << 8 << QByteArray("\xff\x00\xa0\xff\x00", 5);
}

// Values beyond full scale stay at the extremes (never wrap) and are counted.
void tst_Importer::overshootIsClippedAndCounted() {
    QFETCH(int, bits);
    QFETCH(QByteArray, expected);
    const QString src = Path("hot.wav");
    const double values[] = {1.5, -1.5, 0.25, 1.0, -7.0};
    QVERIFY(WriteSignal(src, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 22050, 1, 5,
                        [&](qint64 f, int) { return values[f]; }));
    // A float source is always dithered; 0.25 lies exactly between steps
    // only after scaling, so its dithered result may move one step.
    const ImportReport r = Import(src, Path("HOT.SND"), Target("SND", 22050, bits, 1));
    QCOMPARE(r.Clipped, 4);
    const QByteArray out = Fixtures::ReadFile(Path("HOT.SND")).mid(28);
    QCOMPARE(out.size(), expected.size());
    const int step = bits / 8;
    for (int i : {0, 1, 3, 4}) QCOMPARE(out.mid(i * step, step), expected.mid(i * step, step));
    const int middle = bits == 8 ? quint8(out[2]) - 128 : Fixtures::Get16(out, 4);
    const int ideal = bits == 8 ? 32 : 8192;
    QVERIFY2(std::abs(middle - ideal) <= 1, qPrintable(QString::number(middle)));
}

// Nothing to change: the sample values come through exactly, without dither.
void tst_Importer::unchangedShapeCopiesValues() {
    struct Case {
        int format, bits, channels;
    };
    for (const Case& c : {Case{SF_FORMAT_WAV | SF_FORMAT_PCM_16, 16, 2},
                          Case{SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8, 1},
                          Case{SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 16, 1},
                          Case{SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 16, 2}}) {
        const QString src = Path("same.any");
        QVERIFY(WriteSignal(src, c.format, 11025, c.channels, 3000, [](qint64 f, int ch) {
            return std::sin(double(f) * 0.01 + ch) * 0.9;
        }));
        SF_INFO sf{};
        SNDFILE* in = sf_open(QFile::encodeName(src).constData(), SFM_READ, &sf);
        QVERIFY(in);
        std::vector<short> original(3000 * c.channels);
        QCOMPARE(sf_readf_short(in, original.data(), 3000), sf_count_t(3000));
        sf_close(in);
        const ImportReport r =
            Import(src, Path("SAME.SND"), Target("SND", 11025, c.bits, c.channels));
        QVERIFY(!r.Dithered);
        const QByteArray out = Fixtures::ReadFile(Path("SAME.SND")).mid(28);
        QCOMPARE(out.size(), 3000 * c.channels * c.bits / 8);
        for (int i = 0; i < 3000 * c.channels; ++i) {
            const int value =
                c.bits == 16 ? Fixtures::Get16(out, 2 * i) : (quint8(out[i]) - 128) << 8;
            QCOMPARE(value, int(original[i]));
        }
    }
}

// Mono to stereo duplicates; six channels to stereo keep left and right apart.
void tst_Importer::channelRules() {
    const QString mono = Path("mono.wav");
    QVERIFY(WriteSignal(mono, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1, 800,
                        [](qint64 f, int) { return (f % 100) / 200.0; }));
    Import(mono, Path("M.SND"), Target("SND", 8000, 16, 2));
    const QByteArray m = Fixtures::ReadFile(Path("M.SND")).mid(28);
    for (int f = 0; f < 800; ++f)
        QCOMPARE(Fixtures::Get16(m, 4 * f), Fixtures::Get16(m, 4 * f + 2));

    const QString six = Path("six.wav");
    QVERIFY(WriteSignal(six, SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 8000, 6, 800,
                        [](qint64, int c) { return c == 0 ? 0.5 : 0.0; }));
    const ImportReport r = Import(six, Path("S.SND"), Target("SND", 8000, 16, 2));
    const QByteArray s = Fixtures::ReadFile(Path("S.SND")).mid(28);
    QCOMPARE(r.FramesOut, 800);
    // Left alone carries the first channel, at 1 / (1 + 4 / 2) of its level.
    QVERIFY(std::abs(Fixtures::Get16(s, 400) - 16384 / 3) <= 1);
    QCOMPARE(Fixtures::Get16(s, 402), qint16(0));
}

void tst_Importer::headers() {
    const QString src = Path("h.ogg");
    QVERIFY(
        WriteSignal(src, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 32000, 2, 32000, Sine(0.5, 500, 32000)));
    ImportTarget t = Target("WSD", 16000, 8, 1);
    t.EightBitFlag = 0;
    t.InternalID = 4321;
    ImportReport r = Import(src, Path("H.WSD"), t);
    QCOMPARE(r.Source.Format, QString("OGG"));
    QCOMPARE(r.Source.Encoding, QString("Vorbis"));
    const QByteArray game = Fixtures::ReadFile(Path("H.WSD"));
    QCOMPARE(Fixtures::GameFields(game),
             (QList<qint32>{0, 4321, qint32(game.size() - 28), 16000, 8, 1, 0}));

    r = Import(src, Path("h.wav"), Target("WAV", 44100, 16, 2));
    SF_INFO sf{};
    SNDFILE* in = sf_open(QFile::encodeName(Path("h.wav")).constData(), SFM_READ, &sf);
    QVERIFY(in);
    sf_close(in);
    QCOMPARE(sf.samplerate, 44100);
    QCOMPARE(sf.channels, 2);
    QCOMPARE(sf.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    QCOMPARE(sf.frames, r.FramesOut);
    QCOMPARE(Fixtures::ReadFile(Path("h.wav")).size(), 44 + r.FramesOut * 4);

    QVERIFY_THROWS_EXCEPTION(AppError, Import(src, Path("X.SND"), Target("SND", 12000, 16, 1)));
    QVERIFY(!QFile::exists(Path("X.SND")));
}

void tst_Importer::defaults_data() {
    QTest::addColumn<int>("sourceRate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("outChannels");
    QTest::newRow("48000 stereo") << 48000 << 2 << 44100 << 2;
    QTest::newRow("44100 mono") << 44100 << 1 << 44100 << 1;
    QTest::newRow("96000 six channels") << 96000 << 6 << 44100 << 2;
    QTest::newRow("24000") << 24000 << 1 << 22050 << 1;
    QTest::newRow("11025") << 11025 << 2 << 11025 << 2;
    QTest::newRow("7999") << 7999 << 1 << 6000 << 1;
    QTest::newRow("4000") << 4000 << 1 << 6000 << 1;
}

void tst_Importer::defaults() {
    QFETCH(int, sourceRate);
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(int, outChannels);
    SourceFacts facts;
    facts.Rate = sourceRate;
    facts.Channels = channels;
    const ImportTarget t = ImportTarget::DefaultFor(facts, "snd");
    QCOMPARE(t.Type, QString("SND"));
    QCOMPARE(t.Rate, rate);
    QCOMPARE(t.Bits, 16);
    QCOMPARE(t.Channels, outChannels);
    QCOMPARE(t.EightBitFlag, 0);
    QCOMPARE(t.InternalID, 0);
}

// A source that is not audio, or a cancelled import, leaves the old
// destination exactly as it was and no temporary file beside it.
void tst_Importer::failuresKeepDestination() {
    const QByteArray old = Fixtures::GameFile(Fixtures::Game{}, Fixtures::Samples(100));
    QVERIFY(Fixtures::WriteFile(Path("KEEP.SND"), old));
    QVERIFY(Fixtures::WriteFile(Path("notes.txt"), "these are not samples"));
    try {
        Import(Path("notes.txt"), Path("KEEP.SND"), Target("SND", 22050, 16, 1));
        QFAIL("a text file was imported");
    } catch (const AppError& e) {
        QCOMPARE(e.Number, ErrNo::InvalidFileFormat);
        QVERIFY(e.Description.contains("notes.txt"));
    }
    QVERIFY_THROWS_EXCEPTION(
        AppError, Import(Path("none.wav"), Path("KEEP.SND"), Target("SND", 22050, 16, 1)));
    const QString src = Path("long.wav");
    QVERIFY(WriteSignal(src, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 100000,
                        Sine(0.5, 100, 44100)));
    int calls = 0;
    const ImportReport r =
        Import(src, Path("KEEP.SND"), Target("SND", 22050, 16, 1), [&](qint64 done, qint64 total) {
            ++calls;
            return done < total / 2;
        });
    QVERIFY(r.Cancelled);
    QVERIFY(calls > 1);
    QCOMPARE(Fixtures::ReadFile(Path("KEEP.SND")), old);
    QCOMPARE(Fixtures::Entries(dir_->path()), (QStringList{"KEEP.SND", "long.wav", "notes.txt"}));

    // The source itself as the destination: read whole before it is replaced.
    const ImportReport same = Import(src, src, Target("WAV", 22050, 16, 1));
    QCOMPARE(same.FramesIn, 100000);
    QCOMPARE(Fixtures::ReadFile(src).size(), 44 + same.FramesOut * 2);
}

QTEST_GUILESS_MAIN(tst_Importer)
#include "tst_Importer.moc"
