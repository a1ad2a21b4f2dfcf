#include "Importer.h"

#include <unistd.h>

#include <QtEndian>
#include <cerrno>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "AppError.h"
#include "AtomicFile.h"
#include "ChannelMixer.h"
#include "Conversion.h"
#include "ConvertOptions.h"
#include "HeaderIO.h"
#include "LoudnessColumns.h"
#include "Quantizer.h"
#include "Resampler.h"
#include "SoundInfo.h"
#include "SoundLoudness.h"
#include "TruePeak.h"

namespace {

constexpr qint64 kBlockFrames = 8192;

AppError BadTarget(const QString& what) {
    return AppError::Standard(ErrNo::InvalidProcedureCall, what);
}

// A sound without integrated loudness, whether the one to match or the one to
// match it to: one kind of error, a request the sound cannot meet.
AppError Unmatchable(const QString& path, const Loudness::Figures& figures) {
    return AppError::Standard(ErrNo::InvalidProcedureCall,
                              QStringLiteral("%1: the loudness cannot be matched, it is %2")
                                  .arg(path, Loudness::IntegratedText(figures)));
}

AppError TooLong(const QString& path) {
    return AppError::Standard(
        ErrNo::Overflow,
        QStringLiteral("%1 gives more than the 2 GiB of samples a header can describe").arg(path));
}

// Some decoders cannot tell the length beforehand and report a huge count.
bool LengthKnown(const SourceFacts& in) {
    return in.Frames > 0;
}

// The true peak of samples as a reconstruction far finer than the meter's
// sees it, for holding the ceiling. The 4x meter's grid can miss a crest near
// Nyquist by 0.7 dB (cos(pi/8)), and libebur128's short interpolator reads a
// burst there up to 2 dB low: too much for a margin on every import. 16x
// through a filter flat to 99.5 % of Nyquist, plus the most a crest can rise
// above that grid (0.04 dB), is never below the true peak of what is written.
class FinePeak {
public:
    FinePeak(int rate, int channels) : peak_(rate, channels, kFactor) {}
    void Add(const float* samples, qint64 frames) { peak_.Add(samples, frames); }
    double Dbtp() {
        const double linear = peak_.Linear();
        return linear > 0 ? 20 * std::log10(linear) + Loudness::TruePeak::GridLossDb(kFactor)
                          : Loudness::Figures::kNone;
    }

private:
    static constexpr int kFactor = 16;
    Loudness::TruePeak peak_;
};

void WriteHeader(AtomicFile& dest, const ImportTarget& t, qint32 dataLength,
                 const QString& destPath) {
    mUtility::SoundInfoRecord r;
    r.EightBitFlag = t.EightBitFlag;
    r.InternalID = t.InternalID;
    r.DataLength = dataLength;
    r.SampleRate = t.Rate;
    r.BitsPerSample = static_cast<qint16>(t.Bits);
    r.Channels = static_cast<qint16>(t.Channels);
    char header[WavHeaderSize];
    qint64 size = SndHeaderSize;
    if (t.Type == QLatin1String("WAV")) {
        mUtility::FillWavImage(r);
        HeaderIO::EncodeWav(r.WavImage(), header);
        size = WavHeaderSize;
    } else {
        HeaderIO::EncodeSnd(r.SndImage(), header);
    }
    // The final header replaces the placeholder written first.
    if (::pwrite(dest.Fd(), header, static_cast<size_t>(size), 0) != size)
        throw AppError::fromErrno(errno ? errno : ENOSPC, destPath);
}

}  // namespace

void CheckTarget(const ImportTarget& t) {
    if (t.Type != QLatin1String("SND") && t.Type != QLatin1String("WSD") &&
        t.Type != QLatin1String("WAV"))
        throw BadTarget(QStringLiteral("the target type must be SND, WSD or WAV, not ") + t.Type);
    if (ConvertOptions::SampleRateIndex(t.Rate) < 0)
        throw BadTarget(
            QStringLiteral("the sample rate %1 Hz is not one of the game's").arg(t.Rate));
    if (t.Bits != 8 && t.Bits != 16)
        throw BadTarget(QStringLiteral("the bit depth must be 8 or 16, not %1").arg(t.Bits));
    if (t.Channels != 1 && t.Channels != 2)
        throw BadTarget(QStringLiteral("the channels must be 1 or 2, not %1").arg(t.Channels));
}

namespace {

using Sink = std::function<void(const float*, qint64)>;

// One pass over the source: decodes, mixes, scales by `gain` and resamples,
// handing every block of the target's frames to `sink`. `pass` of `passes`
// places it in the progress shown. False when the progress callback cancels.
bool RunPass(ImportSource& source, const ImportTarget& target, float gain, ImportReport& report,
             const Sink& sink, const ImportProgress& progress, int pass, int passes) {
    const SourceFacts& in = report.Source;
    const int outCh = target.Channels;
    // Every buffer holds one block, whatever the ratio of the rates: the
    // resampler takes only as much input as fits the room it is given.
    std::vector<float> decoded(kBlockFrames * in.Channels);
    std::vector<float> mixed(kBlockFrames * outCh);
    const qint64 room = kBlockFrames;
    std::unique_ptr<Resampler> resampler;
    std::vector<float> resampled;
    if (in.Rate != target.Rate) {
        resampler = std::make_unique<Resampler>(in.Rate, target.Rate, outCh, Resampler::VeryHigh());
        resampled.resize(room * outCh);
    }
    const bool lengthKnown = LengthKnown(in);
    report.FramesIn = 0;
    for (;;) {
        const qint64 got = source.ReadFrames(decoded.data(), kBlockFrames);
        if (got == 0) break;
        report.FramesIn += got;
        ChannelMixer::Mix(decoded.data(), in.Channels, mixed.data(), outCh, got);
        if (gain != 1.0f)
            for (qint64 i = 0; i < got * outCh; ++i) mixed[i] *= gain;
        if (resampler)
            resampler->Process(mixed.data(), got, resampled.data(), room, sink);
        else
            sink(mixed.data(), got);
        const qint64 total = lengthKnown ? std::max(in.Frames, report.FramesIn) : 0;
        if (progress && !progress(pass * total + report.FramesIn, total * passes)) return false;
    }
    if (resampler)
        resampler->Process(static_cast<const float*>(nullptr), 0, resampled.data(), room, sink);
    return true;
}

enum class Written { Done, Cancelled, OverCeiling };

// Writes the result through AtomicFile, measuring the samples written when
// `ceiling` is given: a result whose true peak would cross it is not committed.
Written WritePass(ImportSource& source, const QString& sourcePath, const QString& destPath,
                  const ImportTarget& target, float gain, const std::optional<double>& ceiling,
                  ImportReport& report, const ImportProgress& progress, int pass, int passes) {
    const int outCh = target.Channels;
    Quantizer quantizer(target.Bits, report.Dithered);
    const qint64 frameBytes = qint64(quantizer.BytesPerSample()) * outCh;
    std::vector<char> bytes(kBlockFrames * frameBytes);
    std::optional<Loudness::Meter> meter;
    std::optional<FinePeak> fine;
    std::vector<float> written;
    if (ceiling) {
        meter.emplace(target.Rate, outCh);
        fine.emplace(target.Rate, outCh);
        written.resize(size_t(kBlockFrames * outCh));
    }

    AtomicFile dest(destPath, source.Mode());
    const qint64 headerSize = target.Type == QLatin1String("WAV") ? WavHeaderSize : SndHeaderSize;
    const std::vector<char> placeholder(headerSize, '\0');
    dest.Write(placeholder.data(), headerSize);
    qint64 dataBytes = 0;
    report.FramesOut = 0;
    const Sink put = [&](const float* samples, qint64 frames) {
        quantizer.Convert(samples, frames * outCh, bytes.data(), fine ? written.data() : nullptr);
        dest.Write(bytes.data(), frames * frameBytes);
        if (meter) {
            meter->AddPcm(bytes.data(), frames, target.Bits);
            fine->Add(written.data(), frames);
        }
        dataBytes += frames * frameBytes;
        report.FramesOut += frames;
        if (dataBytes > std::numeric_limits<qint32>::max()) throw TooLong(destPath);
    };
    if (!RunPass(source, target, gain, report, put, progress, pass, passes))
        return Written::Cancelled;  // the temporary file goes with `dest`
    if (report.FramesOut == 0)
        throw AppError::Standard(
            ErrNo::InvalidFileFormat,
            QStringLiteral("%1 gave no samples to import; nothing was written").arg(sourcePath));
    report.Clipped = quantizer.Clipped();
    report.DataLength = static_cast<qint32>(dataBytes);
    if (meter) {
        report.Result = meter->Result();
        report.FinePeakDbtp = fine->Dbtp();
        if (report.FinePeakDbtp > *ceiling) return Written::OverCeiling;
    }
    WriteHeader(dest, target, report.DataLength, destPath);
    dest.Commit();
    return Written::Done;
}

// The loudness of the result at unity gain, measured before quantising.
std::optional<Loudness::Figures> MeasurePass(ImportSource& source, const ImportTarget& target,
                                             ImportReport& report, const ImportProgress& progress) {
    Loudness::Meter meter(target.Rate, target.Channels);
    FinePeak fine(target.Rate, target.Channels);
    const Sink measure = [&](const float* samples, qint64 frames) {
        meter.AddFloat(samples, frames);
        fine.Add(samples, frames);
    };
    if (!RunPass(source, target, 1.0f, report, measure, progress, 0, 2)) return std::nullopt;
    Loudness::Figures f = meter.Result();
    // The gain is bounded by the finer of the two readings.
    f.TruePeakDbtp = std::max(f.TruePeakDbtp, fine.Dbtp());
    return f;
}

}  // namespace

ImportReport Import(const QString& sourcePath, const QString& destPath, const ImportTarget& target,
                    const ImportProgress& progress, const std::optional<LoudnessGoal>& goal) {
    CheckTarget(target);
    if (goal) CheckGoal(*goal);
    auto source = std::make_unique<ImportSource>(sourcePath);
    ImportReport report;
    report.Source = source->Facts();
    report.Target = target;
    const SourceFacts& in = report.Source;
    report.Dithered = in.Rate != target.Rate ||
                      !ChannelMixer::IsExact(in.Channels, target.Channels) || in.Bits == 0 ||
                      in.Bits > target.Bits || goal.has_value();
    const qint64 frameBytes = qint64(target.Bits / 8) * target.Channels;
    if (LengthKnown(in) && double(in.Frames) * target.Rate / in.Rate * frameBytes >
                               std::numeric_limits<qint32>::max() - 64.0)
        throw TooLong(sourcePath);
    if (!goal) {
        report.Cancelled = WritePass(*source, sourcePath, destPath, target, 1.0f, std::nullopt,
                                     report, progress, 0, 1) == Written::Cancelled;
        return report;
    }
    const std::optional<Loudness::Figures> before = MeasurePass(*source, target, report, progress);
    if (!before) {
        report.Cancelled = true;
        return report;
    }
    if (!before->Measured()) throw Unmatchable(sourcePath, *before);
    report.GainDb = Loudness::GainTo(*before, goal->TargetLufs, goal->CeilingDbtp, &report.Limited);
    // Quantising adds a little noise that may lift the true peak: each try
    // that crosses the ceiling lowers the gain by what it crossed by.
    for (int attempt = 0; attempt < 4; ++attempt) {
        source = std::make_unique<ImportSource>(sourcePath);
        const float gain = float(std::pow(10.0, report.GainDb / 20));
        const Written w = WritePass(*source, sourcePath, destPath, target, gain, goal->CeilingDbtp,
                                    report, progress, 1, 2);
        if (w != Written::OverCeiling) {
            report.Cancelled = w == Written::Cancelled;
            return report;
        }
        report.GainDb -= report.FinePeakDbtp - goal->CeilingDbtp + 0.05;
        report.Limited = true;
    }
    throw AppError::Standard(ErrNo::InvalidProcedureCall,
                             QStringLiteral("%1: the result stays above the %2 dBTP ceiling")
                                 .arg(sourcePath)
                                 .arg(goal->CeilingDbtp, 0, 'f', 1));
}

void CheckGoal(const LoudnessGoal& goal) {
    if (!(goal.TargetLufs >= kMinTargetLufs && goal.TargetLufs <= kMaxTargetLufs))
        throw BadTarget(QStringLiteral("the loudness target must be %1 to %2 LUFS")
                            .arg(kMinTargetLufs)
                            .arg(kMaxTargetLufs));
    if (!(goal.CeilingDbtp >= kMinCeilingDbtp && goal.CeilingDbtp <= kMaxCeilingDbtp))
        throw BadTarget(QStringLiteral("the true-peak ceiling must be %1 to %2 dBTP")
                            .arg(kMinCeilingDbtp)
                            .arg(kMaxCeilingDbtp));
}

double LikeLoudness(const QString& path) {
    const Loudness::Figures f = *Loudness::MeasureFile(path);
    if (!f.Measured()) throw Unmatchable(path, f);
    return f.IntegratedLufs;
}

std::optional<double> MissedBy(const ImportReport& r, const LoudnessGoal& goal) {
    if (r.Limited) return std::nullopt;
    if (!r.Result.Measured()) return Loudness::Figures::kNone;
    const double off = r.Result.IntegratedLufs - goal.TargetLufs;
    if (std::fabs(off) <= kTargetToleranceLu) return std::nullopt;
    return off;
}

QString LoudnessSummary(const ImportReport& r, const LoudnessGoal& goal) {
    QString line = QStringLiteral("Loudness: ") + Loudness::IntegratedText(r.Result);
    const std::optional<double> missed = MissedBy(r, goal);
    if (r.Limited) {
        line += QStringLiteral(": limited by the ") + Loudness::DbText(goal.CeilingDbtp, "dBTP") +
                QStringLiteral(" ceiling");
    } else if (missed && std::isfinite(*missed)) {
        line += QStringLiteral(": the target is missed by %1 LU, %2")
                    .arg(std::fabs(*missed), 0, 'f', 1)
                    .arg(*missed > 0 ? QStringLiteral("louder") : QStringLiteral("quieter"));
    } else if (missed) {
        line += QStringLiteral(": the target is missed");
    }
    return line + QStringLiteral(" (target %1, gain %2 dB), true peak %3")
                      .arg(Loudness::DbText(goal.TargetLufs, "LUFS"))
                      .arg(QString::asprintf("%+.1f", r.GainDb))
                      .arg(Loudness::DbText(r.Result.TruePeakDbtp, "dBTP"));
}
