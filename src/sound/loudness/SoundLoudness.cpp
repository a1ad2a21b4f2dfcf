#include "SoundLoudness.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSysInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <vector>

#include "AppError.h"
#include "FileSource.h"
#include "ImportSource.h"
#include "Inspection.h"
#include "Inventory.h"

namespace Loudness {

PcmSpan WholeSound(int fd, const mUtility::SoundInfoRecord& info) {
    const qint64 frameBytes = mUtility::FrameBytes(info.BitsPerSample, info.Channels);
    if (frameBytes == 0)
        throw AppError::Standard(ErrNo::InvalidProcedureCall,
                                 QStringLiteral("loudness is measured on 8- or 16-bit mono or "
                                                "stereo sounds, not %1-bit with %2 channels")
                                     .arg(info.BitsPerSample)
                                     .arg(info.Channels));
    PcmSpan span;
    span.Fd = fd;
    span.Offset = mUtility::SampleDataOffset(info);
    span.Rate = info.SampleRate;
    span.Bits = info.BitsPerSample;
    span.Channels = info.Channels;
    span.Frames = info.DataLength / frameBytes;
    return span;
}

std::optional<Figures> Measure(const PcmSpan& span, const QString& path,
                               const std::atomic<bool>* cancel, int threads) {
    constexpr qint64 kBlockFrames = 65536;
    const qint64 frameBytes = qint64(span.Bits / 8) * span.Channels;
    Meter meter(span.Rate, span.Channels, threads);
    // 16-bit samples land where the meter takes them as they are, on a
    // little-endian machine; 8-bit ones fill the first half.
    std::vector<qint16> samples(static_cast<size_t>(kBlockFrames * span.Channels));
    char* const block = reinterpret_cast<char*>(samples.data());
    const bool asIs = span.Bits == 16 && QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    qint64 at = span.Offset + span.FirstFrame * frameBytes;
    ::posix_fadvise(span.Fd, at, span.Frames * frameBytes, POSIX_FADV_SEQUENTIAL);
    for (qint64 left = span.Frames; left > 0;) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return std::nullopt;
        const qint64 want = std::min(left, kBlockFrames) * frameBytes;
        qint64 got = 0;
        while (got < want) {
            const ssize_t n = ::pread(span.Fd, block + got, size_t(want - got), at + got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw AppError::fromErrno(errno, path);
            if (n == 0) throw AppError::Standard(ErrNo::InputPastEnd, path);
            got += n;
        }
        if (asIs)
            meter.AddShorts(samples.data(), want / frameBytes);
        else
            meter.AddPcm(block, want / frameBytes, span.Bits);
        at += want;
        left -= want / frameBytes;
    }
    return meter.Result();
}

namespace {

// Frames `firstFrame` on of a sound the raw reader does not take (a WAV of 24
// or 32 bits, or of more than two channels), decoded as Import decodes it.
std::optional<Figures> MeasureDecoded(const QString& path, const std::atomic<bool>* cancel,
                                      qint64 firstFrame, qint64 frames, int threads) {
    constexpr qint64 kBlockFrames = 16384;
    ImportSource source(path);
    const SourceFacts& facts = source.Facts();
    Meter meter(facts.Rate, facts.Channels, threads);
    // Decoded integer samples reach +1 less one step of their depth.
    const float top = facts.Bits > 0 ? float(1.0 - std::ldexp(1.0, 1 - facts.Bits)) : 1.0f;
    std::vector<float> block(size_t(kBlockFrames * facts.Channels));
    source.Seek(firstFrame);
    for (qint64 left = frames < 0 ? std::numeric_limits<qint64>::max() : frames; left > 0;) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return std::nullopt;
        const qint64 got = source.ReadFrames(block.data(), std::min(left, kBlockFrames));
        if (got == 0) break;
        meter.AddFloat(block.data(), got, top);
        left -= got;
    }
    return meter.Result();
}

}  // namespace

std::optional<Figures> MeasureFile(const QString& path, const std::atomic<bool>* cancel,
                                   qint64 firstFrame, qint64 frames, int threads) {
    QString folder, name;
    mUtility::SplitPath(path, folder, name);
    mUtility::SoundInfoRecord info;
    mUtility::SelectFile(info, folder, name);
    FileSource source(path);
    const mUtility::InspectionResult r = mUtility::InspectSource(source, info);
    if (!r.IsValid())
        throw AppError::Standard(ErrNo::InvalidFileFormat,
                                 path + QStringLiteral(": ") + mUtility::OneLine(r.MessageText));
    if (mUtility::FrameBytes(info.BitsPerSample, info.Channels) == 0 &&
        info.Extension == QLatin1String("WAV"))
        return MeasureDecoded(path, cancel, std::max<qint64>(firstFrame, 0), frames, threads);
    PcmSpan span = WholeSound(source.Fd(), info);
    span.FirstFrame = std::clamp<qint64>(firstFrame, 0, span.Frames);
    const qint64 left = span.Frames - span.FirstFrame;
    span.Frames = frames < 0 ? left : std::min(frames, left);
    return Measure(span, path, cancel, threads);
}

}  // namespace Loudness
