#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <complex>
#include <functional>

#include "AppError.h"
#include "Importer.h"
#include "LoudnessColumns.h"
#include "MeasureAhead.h"
#include "SignalFixtures.h"
#include "SoundFixtures.h"
#include "SoundLoudness.h"

using Loudness::Figures;
using Loudness::Status;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSkip = std::numeric_limits<double>::quiet_NaN();

// Sample (frame, channel) at full scale ±1.
using Wave = std::function<double(qint64, int)>;

Wave Sine(double dbfs, double hz, int rate, double phase = 0) {
    const double a = std::pow(10.0, dbfs / 20);
    return [=](qint64 f, int) { return a * std::sin(2 * kPi * hz * double(f) / rate + phase); };
}

// The PCM bytes of `wave`, rounded (8-bit unsigned or 16-bit signed) and clipped.
QByteArray Pcm(const Wave& wave, qint64 frames, int channels, int bits) {
    QByteArray b;
    for (qint64 f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            const double x = wave(f, c);
            if (bits == 8) {
                b.append(char(std::clamp(std::lround(x * 128) + 128, 0l, 255l)));
            } else {
                Fixtures::Put16(b, std::clamp(std::lround(x * 32768), -32768l, 32767l));
            }
        }
    }
    return b;
}

// In-place radix-2 FFT of `x` (size a power of two); `inverse` without the 1/n.
void Fft(std::vector<std::complex<double>>& x, bool inverse) {
    const size_t n = x.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, (inverse ? 2 : -2) * kPi / double(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1;
            for (size_t k = 0; k < len / 2; ++k, wk *= w) {
                const std::complex<double> a = x[i + k], b = x[i + k + len / 2] * wk;
                x[i + k] = a + b;
                x[i + k + len / 2] = a - b;
            }
        }
    }
}

// The peak in dBFS of the samples of a game file (8 or 16 bits) reconstructed
// 32 times finer by zero-padding their spectrum: the band-limited signal they
// describe, seen on a grid whose spacing can hide at most 0.01 dB of a crest.
double ReconstructedPeakDb(const QString& path) {
    constexpr size_t kFactor = 32;
    const QByteArray file = Fixtures::ReadFile(path);
    const QList<qint32> h = Fixtures::GameFields(file);
    const int bits = h[4], channels = h[5];
    const qint64 frames = h[2] / (bits / 8) / channels;
    size_t n = 1;
    while (n < size_t(frames)) n <<= 1;
    double peak = 0;
    for (int c = 0; c < channels; ++c) {
        std::vector<std::complex<double>> x(n);
        for (qint64 f = 0; f < frames; ++f) {
            const qint64 i = f * channels + c;
            x[size_t(f)] = bits == 8 ? (quint8(file[28 + i]) - 128) / 128.0
                                     : Fixtures::Get16(file, int(28 + 2 * i)) / 32768.0;
        }
        Fft(x, false);
        std::vector<std::complex<double>> y(n * kFactor);
        for (size_t k = 0; k < n / 2; ++k) y[k] = x[k];
        for (size_t k = n / 2 + 1; k < n; ++k) y[y.size() - n + k] = x[k];
        y[n / 2] = y[y.size() - n / 2] = x[n / 2] / 2.0;
        Fft(y, true);
        for (const auto& v : y) peak = std::max(peak, std::fabs(v.real()) / double(n));
    }
    return 20 * std::log10(peak);
}

}  // namespace

Q_DECLARE_METATYPE(Wave)

class tst_Loudness : public QObject {
    Q_OBJECT

private slots:
    // One game file or WAV per row, measured as a whole; kSkip leaves a figure unchecked.
    void figures_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<Wave>("wave");
        QTest::addColumn<int>("status");
        QTest::addColumn<double>("lufs");
        QTest::addColumn<double>("tolerance");
        QTest::addColumn<double>("samplePeak");
        QTest::addColumn<double>("truePeak");
        QTest::addColumn<qint64>("fullScale");  // -1: unchecked
        QTest::addColumn<double>("dc");

        const int ok = int(Status::Measured);
        const double skip = kSkip;
        // After EBU Tech 3341: a 1 kHz sine at -23 dBFS on both sides reads -23 LUFS,
        // on one channel 3 LU less (mono is one channel of weight 1).
        QTest::newRow("stereo -23 dBFS")
            << "SND" << 2 << 16 << 44100 << 3.0 << Sine(-23, 1000, 44100) << ok << -23.0 << 0.1
            << -23.0 << skip << qint64(0) << 0.0;
        QTest::newRow("stereo -33 dBFS")
            << "WSD" << 2 << 16 << 44100 << 3.0 << Sine(-33, 1000, 44100) << ok << -33.0 << 0.1
            << skip << skip << qint64(-1) << skip;
        QTest::newRow("mono -23 dBFS") << "SND" << 1 << 16 << 22050 << 3.0 << Sine(-23, 1000, 22050)
                                       << ok << -26.0 << 0.1 << skip << skip << qint64(-1) << skip;
        // The same sound at 8 bits agrees with the 16-bit one.
        QTest::newRow("8-bit stereo -23 dBFS")
            << "SND" << 2 << 8 << 22050 << 3.0 << Sine(-23, 1000, 22050) << ok << -23.0 << 0.1
            << skip << skip << qint64(-1) << skip;
        QTest::newRow("8-bit mono WAV") << "WAV" << 1 << 8 << 11025 << 2.0 << Sine(-23, 1000, 11025)
                                        << ok << -26.0 << 0.1 << skip << skip << qint64(-1) << skip;
        // A quarter-rate sine sampled 45 degrees off its crest: the samples
        // stay 3 dB below the peak that true-peak oversampling finds.
        QTest::newRow("inter-sample peak")
            << "WAV" << 2 << 16 << 44100 << 1.0 << Sine(-6, 11025, 44100, kPi / 4) << ok << skip
            << 0.0 << -9.0 << -6.0 << qint64(0) << skip;
        QTest::newRow("digital silence")
            << "SND" << 2 << 16 << 22050 << 1.0 << Wave([](qint64, int) { return 0.0; })
            << int(Status::Silent) << skip << 0.0 << -std::numeric_limits<double>::infinity()
            << -std::numeric_limits<double>::infinity() << qint64(0) << 0.0;
        QTest::newRow("below the -70 LUFS gate")
            << "SND" << 1 << 16 << 22050 << 1.0 << Sine(-80, 1000, 22050) << int(Status::Silent)
            << skip << 0.0 << skip << skip << qint64(0) << skip;
        QTest::newRow("shorter than a block")
            << "SND" << 2 << 16 << 22050 << 0.39 << Sine(-10, 1000, 22050) << int(Status::TooShort)
            << skip << 0.0 << -10.0 << skip << qint64(-1) << skip;
        QTest::newRow("exactly one block")
            << "SND" << 1 << 16 << 22050 << 0.4 << Sine(-20, 1000, 22050) << ok << -23.0 << 0.2
            << skip << skip << qint64(-1) << skip;
        // Clipped square wave: every sample at an extreme, both formats.
        QTest::newRow("16-bit full scale")
            << "SND" << 2 << 16 << 8000 << 1.0
            << Wave([](qint64 f, int) { return (f / 20) % 2 ? 1.5 : -1.5; }) << ok << skip << 0.0
            << 0.0 << skip << qint64(16000) << skip;
        QTest::newRow("8-bit full scale")
            << "WSD" << 1 << 8 << 8000 << 1.0
            << Wave([](qint64 f, int) { return (f / 20) % 2 ? 1.5 : -1.5; }) << ok << skip << 0.0
            << 0.0 << skip << qint64(8000) << skip;
        // 8-bit samples resting at 160 instead of 128: a quarter of full scale.
        QTest::newRow("8-bit DC offset")
            << "SND" << 1 << 8 << 8000 << 1.0 << Wave([](qint64, int) { return 0.25; }) << ok
            << skip << 0.0 << skip << skip << qint64(0) << 0.25;
    }

    void figures() {
        QFETCH(QString, type);
        QFETCH(int, channels);
        QFETCH(int, bits);
        QFETCH(int, rate);
        QFETCH(double, seconds);
        QFETCH(Wave, wave);
        QFETCH(int, status);
        QFETCH(double, lufs);
        QFETCH(double, tolerance);
        QFETCH(double, samplePeak);
        QFETCH(double, truePeak);
        QFETCH(qint64, fullScale);
        QFETCH(double, dc);

        const QByteArray pcm = Pcm(wave, qint64(std::llround(seconds * rate)), channels, bits);
        const QString path = dir_.filePath(QStringLiteral("T.") + type);
        QByteArray file;
        if (type == QLatin1String("WAV")) {
            Fixtures::Wav w;
            w.channels = channels, w.rate = rate, w.bits = bits;
            file = Fixtures::WavFile(w, pcm);
        } else {
            Fixtures::Game g;
            g.channels = channels, g.rate = rate, g.bits = bits;
            file = Fixtures::GameFile(g, pcm);
        }
        QVERIFY(Fixtures::WriteFile(path, file));

        const Figures f = *Loudness::MeasureFile(path);
        QCOMPARE(int(f.Integrated), status);
        if (!f.Measured()) {
            QVERIFY(Loudness::Value(f, Loudness::kIntegrated) == std::nullopt);
            QVERIFY(Loudness::Value(f, Loudness::kRange) == std::nullopt);
        }
        const auto near = [](double got, double want, double tol) {
            return std::isnan(want) ||
                   (std::isinf(want) ? got == want : std::fabs(got - want) <= tol);
        };
        QVERIFY2(near(f.IntegratedLufs, lufs, tolerance),
                 qPrintable(QString::number(f.IntegratedLufs)));
        QVERIFY2(near(f.SamplePeakDbfs, samplePeak, 0.1),
                 qPrintable(QString::number(f.SamplePeakDbfs)));
        QVERIFY2(near(f.TruePeakDbtp, truePeak, 0.3), qPrintable(QString::number(f.TruePeakDbtp)));
        QVERIFY(f.TruePeakDbtp >= f.SamplePeakDbfs);
        if (fullScale >= 0) QCOMPARE(f.FullScaleSamples, fullScale);
        QVERIFY2(near(f.DcOffset, dc, 0.002), qPrintable(QString::number(f.DcOffset)));
    }

    // Imports brought to a loudness: the target is reached unless the true-peak
    // ceiling stops the gain first, and the ceiling holds after quantising.
    void matching_data() {
        QTest::addColumn<int>("sourceRate");
        QTest::addColumn<int>("sourceChannels");
        QTest::addColumn<double>("sourceDbfs");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("channels");
        QTest::addColumn<double>("target");
        QTest::addColumn<double>("ceiling");
        QTest::addColumn<bool>("limited");

        QTest::newRow("-30 LUFS raised to -20")
            << 44100 << 2 << -30.0 << 44100 << 16 << 2 << -20.0 << -1.0 << false;
        QTest::newRow("lowered, resampled, to mono")
            << 48000 << 2 << -10.0 << 22050 << 16 << 1 << -23.0 << -1.0 << false;
        QTest::newRow("stopped by the ceiling")
            << 44100 << 2 << -20.0 << 44100 << 16 << 2 << 0.0 << -1.0 << true;
        // 8-bit dither noise lifts the peak by far more than at 16 bits.
        QTest::newRow("8-bit at the ceiling")
            << 22050 << 1 << -20.0 << 11025 << 8 << 1 << 0.0 << -1.0 << true;
        QTest::newRow("a lower ceiling")
            << 22050 << 1 << -30.0 << 22050 << 16 << 1 << -5.0 << -6.0 << true;
    }

    void matching() {
        QFETCH(int, sourceRate);
        QFETCH(int, sourceChannels);
        QFETCH(double, sourceDbfs);
        QFETCH(int, rate);
        QFETCH(int, bits);
        QFETCH(int, channels);
        QFETCH(double, target);
        QFETCH(double, ceiling);
        QFETCH(bool, limited);

        const QString source = dir_.filePath(QStringLiteral("source.wav"));
        QVERIFY(Fixtures::WriteSignal(
            source, SF_FORMAT_WAV | SF_FORMAT_PCM_24, sourceRate, sourceChannels, 3 * sourceRate,
            Fixtures::Sine(std::pow(10.0, sourceDbfs / 20), 997, sourceRate)));
        ImportTarget t;
        t.Rate = rate, t.Bits = bits, t.Channels = channels;
        const QString dest = dir_.filePath(QStringLiteral("MATCHED.SND"));
        const ImportReport r = Import(source, dest, t, {}, LoudnessGoal{target, ceiling});

        const Figures f = *Loudness::MeasureFile(dest);
        QCOMPARE(r.Limited, limited);
        QVERIFY2(f.TruePeakDbtp <= ceiling, qPrintable(QString::number(f.TruePeakDbtp)));
        if (limited)
            QVERIFY(f.IntegratedLufs < target);
        else
            QVERIFY2(std::fabs(f.IntegratedLufs - target) <= 0.2,
                     qPrintable(QString::number(f.IntegratedLufs)));
        // The report gives the figures of what was written.
        QCOMPARE(r.Result.IntegratedLufs, f.IntegratedLufs);
        QCOMPARE(r.Result.TruePeakDbtp, f.TruePeakDbtp);
        QCOMPARE(LoudnessSummary(r, LoudnessGoal{target, ceiling})
                     .contains(QStringLiteral("limited by the")),
                 limited);
    }

    // Matching "like" a game file lands on its loudness; a sound with no
    // loudness to measure is refused before anything is written.
    void matchingLikeAndRefusals() {
        const QString model = dir_.filePath(QStringLiteral("MODEL.SND"));
        Fixtures::Game g;
        g.channels = 1;
        QVERIFY(Fixtures::WriteFile(
            model, Fixtures::GameFile(g, Pcm(Sine(-17, 1000, 22050), 2 * 22050, 1, 16))));
        const QString source = dir_.filePath(QStringLiteral("quiet.wav"));
        QVERIFY(Fixtures::WriteSignal(source, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 2, 22050,
                                      Fixtures::Sine(0.01, 1000, 22050)));
        ImportTarget t;
        const double like = LikeLoudness(model);
        QVERIFY2(std::fabs(like - -20.0) <= 0.1, qPrintable(QString::number(like)));
        const QString dest = dir_.filePath(QStringLiteral("LIKE.SND"));
        Import(source, dest, t, {}, LoudnessGoal{like, -1.0});
        QVERIFY(std::fabs(Loudness::MeasureFile(dest)->IntegratedLufs - like) <= 0.2);

        const QString blip = dir_.filePath(QStringLiteral("blip.wav"));
        QVERIFY(Fixtures::WriteSignal(blip, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, 5000,
                                      Fixtures::Sine(0.5, 1000, 22050)));
        const QString none = dir_.filePath(QStringLiteral("NONE.SND"));
        QVERIFY_THROWS_EXCEPTION(AppError, Import(blip, none, t, {}, LoudnessGoal{-20, -1}));
        QVERIFY(!QFileInfo::exists(none));
        QVERIFY_THROWS_EXCEPTION(AppError, LikeLoudness(blip));
    }

    // Edge cases of measuring and matching. A row with a target imports the
    // source as `bits`-bit mono at its rate and checks the report (or the
    // refusal) for `says`; the written file's true peak, reconstructed here
    // far finer than any meter's, must hold the ceiling. A row without one
    // measures the source and checks its loudness text.
    void edgeCases_data() {
        QTest::addColumn<int>("format");  // SF_FORMAT_* of the source; 0: a 16-bit game file
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<Wave>("wave");
        QTest::addColumn<int>("bits");
        QTest::addColumn<double>("target");  // NaN: measure only
        QTest::addColumn<double>("ceiling");
        QTest::addColumn<QString>("says");
        QTest::addColumn<double>("lufs");  // NaN: unchecked

        const int wav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        const double none = kSkip;
        const Wave lsbAtNyquist = [](qint64 f, int) { return (f % 2 ? 1 : -1) / 32768.0; };
        QTest::newRow("+-1 LSB at Nyquist is below the gate")
            << 0 << 44100 << 1 << qint64(44100) << lsbAtNyquist << 0 << none << 0.0
            << "below the gate" << none;
        QTest::newRow("digital silence is silent")
            << 0 << 44100 << 1 << qint64(44100) << Wave([](qint64, int) { return 0.0; }) << 0
            << none << 0.0 << "-inf LUFS (silent)" << none;
        QTest::newRow("a below-gate source cannot be matched")
            << wav16 << 44100 << 1 << qint64(44100) << lsbAtNyquist << 16 << -23.0 << -1.0
            << "cannot be matched, it is not measurable (below the gate" << none;
        // EBU Tech 3341: a 1 kHz sine at -23 dBFS on two channels reads -23 LUFS;
        // three channels of weight 1 read 10 log10(3/2) higher.
        QTest::newRow("24-bit WAV measured")
            << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 48000 << 2 << qint64(96000)
            << Sine(-23, 1000, 48000) << 0 << none << 0.0 << "-23.0 LUFS" << -23.0;
        QTest::newRow("32-bit WAV measured")
            << (SF_FORMAT_WAV | SF_FORMAT_PCM_32) << 44100 << 2 << qint64(88200)
            << Sine(-23, 1000, 44100) << 0 << none << 0.0 << "-23.0 LUFS" << -23.0;
        QTest::newRow("three-channel WAV measured")
            << wav16 << 44100 << 3 << qint64(88200) << Sine(-23, 1000, 44100) << 0 << none << 0.0
            << "-21.2 LUFS" << -23.0 + 10 * std::log10(1.5);
        // A 1 ms burst at 21 kHz whose crest falls between two samples: a 4x
        // meter reads its true peak up to 2 dB low.
        const Wave burst = [](qint64 f, int) {
            const double t = double(f) - 11025.5, w = 44.1;
            const double g = std::fabs(t) < w ? 0.5 + 0.5 * std::cos(kPi * t / w) : 0.0;
            return 0.5 * g * std::cos(2 * kPi * 21000 * t / 44100);
        };
        const int wavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        QTest::newRow("burst near Nyquist under a -0.1 dBTP ceiling")
            << wavFloat << 44100 << 1 << qint64(22050) << burst << 16 << 0.0 << -0.1
            << "limited by the -0.1 dBTP ceiling" << none;
        QTest::newRow("burst near Nyquist at 8 bits under a 0 dBTP ceiling")
            << wavFloat << 44100 << 1 << qint64(22050) << burst << 8 << 0.0 << 0.0
            << "limited by the 0.0 dBTP ceiling" << none;
        // At 8 bits the dither noise alone is louder than -50 LUFS.
        const Wave tone = Sine(-20, 1000, 22050);
        QTest::newRow("8-bit import misses -50 LUFS")
            << wav16 << 22050 << 1 << qint64(22050) << tone << 8 << -50.0 << -1.0
            << "the target is missed by" << none;
        QTest::newRow("16-bit import meets -50 LUFS")
            << wav16 << 22050 << 1 << qint64(22050) << tone << 16 << -50.0 << -1.0
            << "LUFS (target -50.0 LUFS" << -50.0;
    }

    void edgeCases() {
        QFETCH(int, format);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(qint64, frames);
        QFETCH(Wave, wave);
        QFETCH(int, bits);
        QFETCH(double, target);
        QFETCH(double, ceiling);
        QFETCH(QString, says);
        QFETCH(double, lufs);

        QString source = dir_.filePath(QStringLiteral("edge.wav"));
        if (format) {
            QVERIFY(Fixtures::WriteSignal(source, format, rate, channels, frames, wave));
        } else {
            source = dir_.filePath(QStringLiteral("EDGE.SND"));
            Fixtures::Game g{.rate = rate, .bits = 16, .channels = channels};
            QVERIFY(Fixtures::WriteFile(source,
                                        Fixtures::GameFile(g, Pcm(wave, frames, channels, 16))));
        }
        if (std::isnan(target)) {
            const Figures f = *Loudness::MeasureFile(source);
            QVERIFY2(Loudness::IntegratedText(f).contains(says),
                     qPrintable(Loudness::IntegratedText(f)));
            // The short text a table or a panel shows says the same.
            const QString shortSays = says == "-inf LUFS (silent)" ? "silent" : says;
            QVERIFY2(Loudness::IntegratedShortText(f).contains(shortSays),
                     qPrintable(Loudness::IntegratedShortText(f)));
            if (!std::isnan(lufs)) QVERIFY(std::fabs(f.IntegratedLufs - lufs) <= 0.1);
            return;
        }
        const QString dest = dir_.filePath(QStringLiteral("EDGE_OUT.SND"));
        ImportTarget t;
        t.Rate = rate, t.Bits = bits, t.Channels = 1;
        const LoudnessGoal goal{target, ceiling};
        QString said;
        try {
            said = LoudnessSummary(Import(source, dest, t, {}, goal), goal);
        } catch (const AppError& e) {
            QCOMPARE(e.Number, ErrNo::InvalidProcedureCall);
            QVERIFY(!QFileInfo::exists(dest));
            said = e.Description;
        }
        QVERIFY2(said.contains(says), qPrintable(said));
        if (!QFileInfo::exists(dest)) return;
        const double peak = ReconstructedPeakDb(dest);
        QVERIFY2(peak <= ceiling, qPrintable(QString::number(peak)));
        if (!std::isnan(lufs))
            QVERIFY(std::fabs(Loudness::MeasureFile(dest)->IntegratedLufs - lufs) <= 0.2);
    }

    // A refused header and an unreadable shape are errors, never figures.
    void refusals() {
        const QString lying = dir_.filePath(QStringLiteral("LIE.SND"));
        Fixtures::Game g;
        g.length = 1 << 20;
        QVERIFY(Fixtures::WriteFile(lying, Fixtures::GameFile(g, QByteArray(100, 0))));
        QVERIFY_THROWS_EXCEPTION(AppError, Loudness::MeasureFile(lying));

        const QString wide = dir_.filePath(QStringLiteral("WIDE.SND"));
        g = Fixtures::Game();
        g.bits = 24;
        QVERIFY(Fixtures::WriteFile(wide, Fixtures::GameFile(g, QByteArray(600, 0))));
        QVERIFY_THROWS_EXCEPTION(AppError, Loudness::MeasureFile(wide));
    }

    // Files measured on several threads come back in the list's order, each
    // with its own figures or its own error; stopping early does not hang.
    void measuredAheadInOrder() {
        QStringList paths;
        for (int i = 0; i < 7; ++i) {
            paths << dir_.filePath(QStringLiteral("AHEAD%1.SND").arg(i));
            Fixtures::Game g{.rate = 11025, .bits = 16, .channels = 1};
            const QByteArray pcm = Pcm(Sine(-10.0 - 3 * i, 1000, 11025), 11025, 1, 16);
            QVERIFY(Fixtures::WriteFile(paths.last(), Fixtures::GameFile(g, pcm)));
        }
        paths[3] = dir_.filePath(QStringLiteral("MISSING.SND"));
        Loudness::MeasureAhead ahead(paths, 3);
        for (int i = 0; i < paths.size(); ++i) {
            if (i == 3) {
                QVERIFY_THROWS_EXCEPTION(AppError, ahead.Take(i));
                continue;
            }
            QCOMPARE(ahead.Take(i).IntegratedLufs, Loudness::MeasureFile(paths[i])->IntegratedLufs);
        }
        // Files skipped, more than the workers run ahead, are given up.
        QStringList skipped(40, dir_.filePath(QStringLiteral("MISSING.SND")));
        Loudness::MeasureAhead past(skipped << paths[0], 2);
        QCOMPARE(past.Take(40).IntegratedLufs, Loudness::MeasureFile(paths[0])->IntegratedLufs);
        const Loudness::MeasureAhead stopped(paths + paths + paths, 2);

        // A file measured alone has its channels' true peaks found on threads
        // of their own: the same figures as measured on one.
        const QString alone = dir_.filePath(QStringLiteral("ALONE.SND"));
        const Wave twoTones = [](qint64 f, int c) {
            return (c ? 0.8 : 0.4) *
                   std::sin(2 * kPi * (c ? 11025.0 : 997.0) * double(f) / 44100 + kPi / 4);
        };
        QVERIFY(Fixtures::WriteFile(
            alone, Fixtures::GameFile(Fixtures::Game{.rate = 44100, .bits = 16, .channels = 2},
                                      Pcm(twoTones, 100000, 2, 16))));
        const Figures one = *Loudness::MeasureFile(alone);
        const Figures split = Loudness::MeasureAhead({alone}, 2).Take(0);
        QCOMPARE(split.TruePeakDbtp, one.TruePeakDbtp);
        QCOMPARE(split.SamplePeakDbfs, one.SamplePeakDbfs);
        QCOMPARE(split.IntegratedLufs, one.IntegratedLufs);
        QVERIFY(one.TruePeakDbtp > one.SamplePeakDbfs + 2);  // the right channel's, between samples
    }

    // The CSV fields line up with their names, and not-measurable figures stay empty.
    void csvColumns() {
        Figures f;
        f.Integrated = Status::TooShort;
        f.SamplePeakDbfs = -3.25;
        f.TruePeakDbtp = -3.0;
        f.FullScaleSamples = 7;
        f.DcOffset = -0.5;
        QCOMPARE(Loudness::WithCsvHeader(QStringLiteral("path\r\n")),
                 QStringLiteral("path,loudness_lufs,loudness_range_lu,sample_peak_dbfs,"
                                "true_peak_dbtp,full_scale_samples,dc_offset\r\n"));
        QCOMPARE(Loudness::WithCsvFields(QStringLiteral("a\r\n"), &f),
                 QStringLiteral("a,,,-3.25,-3.00,7,-0.500000\r\n"));
        QCOMPARE(Loudness::WithCsvFields(QStringLiteral("a\r\n"), nullptr),
                 QStringLiteral("a,,,,,,\r\n"));
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(tst_Loudness)
#include "tst_Loudness.moc"
