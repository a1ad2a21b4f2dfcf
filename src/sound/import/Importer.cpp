#include "Importer.h"

#include <soxr.h>
#include <unistd.h>

#include <QtEndian>
#include <cerrno>
#include <limits>
#include <memory>
#include <vector>

#include "AppError.h"
#include "AtomicFile.h"
#include "ChannelMixer.h"
#include "Conversion.h"
#include "ConvertOptions.h"
#include "HeaderIO.h"
#include "Quantizer.h"
#include "SoundInfo.h"

namespace {

constexpr qint64 kBlockFrames = 8192;

AppError BadTarget(const QString& what) {
    return AppError::Standard(ErrNo::InvalidProcedureCall, what);
}

class Resampler {
public:
    Resampler(int inRate, int outRate, int channels) {
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
        soxr_error_t error = nullptr;
        soxr_ = soxr_create(inRate, outRate, static_cast<unsigned>(channels), &error, &io, &quality,
                            nullptr);
        if (error) Fail(error);
    }
    ~Resampler() { soxr_delete(soxr_); }
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Feeds `frames` frames (nullptr: the end of the input) and passes every
    // frame that comes out to `sink` through `out` (room for `room` frames).
    template <typename Sink>
    void Process(const float* in, qint64 frames, float* out, qint64 room, int channels,
                 Sink&& sink) {
        for (;;) {
            size_t used = 0, made = 0;
            const soxr_error_t error = soxr_process(soxr_, in, static_cast<size_t>(frames), &used,
                                                    out, static_cast<size_t>(room), &made);
            if (error) Fail(error);
            if (made > 0) sink(out, static_cast<qint64>(made));
            if (in) {
                in += used * static_cast<size_t>(channels);
                frames -= static_cast<qint64>(used);
                if (frames == 0 && made < size_t(room)) return;
            } else if (made == 0) {
                return;
            }
        }
    }

private:
    [[noreturn]] static void Fail(soxr_error_t error) {
        throw AppError::Standard(
            ErrNo::InvalidProcedureCall,
            QStringLiteral("resampling failed: ") + QString::fromLatin1(error));
    }
    soxr_t soxr_ = nullptr;
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

ImportReport Import(const QString& sourcePath, const QString& destPath, const ImportTarget& target,
                    const ImportProgress& progress) {
    CheckTarget(target);
    ImportSource source(sourcePath);
    ImportReport report;
    report.Source = source.Facts();
    report.Target = target;
    const SourceFacts& in = report.Source;
    const int outCh = target.Channels;
    const bool resample = in.Rate != target.Rate;
    report.Dithered = resample || !ChannelMixer::IsExact(in.Channels, outCh) || in.Bits == 0 ||
                      in.Bits > target.Bits;
    Quantizer quantizer(target.Bits, report.Dithered);
    const qint64 frameBytes = qint64(quantizer.BytesPerSample()) * outCh;
    const double ratio = double(target.Rate) / in.Rate;
    // Some decoders cannot tell the length beforehand and report a huge count.
    const bool lengthKnown = in.Frames > 0;
    if (lengthKnown &&
        double(in.Frames) * ratio * frameBytes > std::numeric_limits<qint32>::max() - 64.0) {
        throw AppError::Standard(ErrNo::Overflow,
                                 QStringLiteral("%1 would give more than the 2 GiB of samples a "
                                                "header can describe")
                                     .arg(sourcePath));
    }

    // Every buffer holds one block, whatever the ratio of the rates: the
    // resampler takes only as much input as fits the room it is given.
    std::vector<float> decoded(kBlockFrames * in.Channels);
    std::vector<float> mixed(kBlockFrames * outCh);
    const qint64 room = kBlockFrames;
    std::vector<float> resampled(resample ? room * outCh : 0);
    std::vector<char> bytes(kBlockFrames * frameBytes);
    std::unique_ptr<Resampler> resampler;
    if (resample) resampler = std::make_unique<Resampler>(in.Rate, target.Rate, outCh);

    AtomicFile dest(destPath, source.Mode());
    const qint64 headerSize = target.Type == QLatin1String("WAV") ? WavHeaderSize : SndHeaderSize;
    const std::vector<char> placeholder(headerSize, '\0');
    dest.Write(placeholder.data(), headerSize);
    qint64 dataBytes = 0;
    auto put = [&](const float* samples, qint64 frames) {
        quantizer.Convert(samples, frames * outCh, bytes.data());
        dest.Write(bytes.data(), frames * frameBytes);
        dataBytes += frames * frameBytes;
        report.FramesOut += frames;
        if (dataBytes > std::numeric_limits<qint32>::max())
            throw AppError::Standard(ErrNo::Overflow,
                                     QStringLiteral("%1 gives more than the 2 GiB of samples a "
                                                    "header can describe")
                                         .arg(sourcePath));
    };
    for (;;) {
        const qint64 got = source.ReadFrames(decoded.data(), kBlockFrames);
        if (got == 0) break;
        report.FramesIn += got;
        ChannelMixer::Mix(decoded.data(), in.Channels, mixed.data(), outCh, got);
        if (resampler)
            resampler->Process(mixed.data(), got, resampled.data(), room, outCh, put);
        else
            put(mixed.data(), got);
        if (progress &&
            !progress(report.FramesIn, lengthKnown ? std::max(in.Frames, report.FramesIn) : 0)) {
            report.Cancelled = true;
            return report;  // the temporary file goes with `dest`
        }
    }
    if (resampler) resampler->Process(nullptr, 0, resampled.data(), room, outCh, put);
    if (report.FramesOut == 0)
        throw AppError::Standard(
            ErrNo::InvalidFileFormat,
            QStringLiteral("%1 gave no samples to import; nothing was written").arg(sourcePath));
    report.Clipped = quantizer.Clipped();
    report.DataLength = static_cast<qint32>(dataBytes);
    WriteHeader(dest, target, report.DataLength, destPath);
    dest.Commit();
    return report;
}
