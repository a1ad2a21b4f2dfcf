#include "SoundLoudness.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "AppError.h"
#include "FileSource.h"
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
                               const std::atomic<bool>* cancel) {
    constexpr qint64 kBlockFrames = 65536;
    const qint64 frameBytes = qint64(span.Bits / 8) * span.Channels;
    Meter meter(span.Rate, span.Channels);
    std::vector<char> block(static_cast<size_t>(kBlockFrames * frameBytes));
    qint64 at = span.Offset + span.FirstFrame * frameBytes;
    ::posix_fadvise(span.Fd, at, span.Frames * frameBytes, POSIX_FADV_SEQUENTIAL);
    for (qint64 left = span.Frames; left > 0;) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return std::nullopt;
        const qint64 want = std::min(left, kBlockFrames) * frameBytes;
        qint64 got = 0;
        while (got < want) {
            const ssize_t n = ::pread(span.Fd, block.data() + got, size_t(want - got), at + got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw AppError::fromErrno(errno, path);
            if (n == 0) throw AppError::Standard(ErrNo::InputPastEnd, path);
            got += n;
        }
        meter.AddPcm(block.data(), want / frameBytes, span.Bits);
        at += want;
        left -= want / frameBytes;
    }
    return meter.Result();
}

std::optional<Figures> MeasureFile(const QString& path, const std::atomic<bool>* cancel,
                                   qint64 firstFrame, qint64 frames) {
    QString folder, name;
    mUtility::SplitPath(path, folder, name);
    mUtility::SoundInfoRecord info;
    mUtility::SelectFile(info, folder, name);
    FileSource source(path);
    const mUtility::InspectionResult r = mUtility::InspectSource(source, info);
    if (!r.IsValid())
        throw AppError::Standard(ErrNo::InvalidFileFormat,
                                 path + QStringLiteral(": ") + mUtility::OneLine(r.MessageText));
    PcmSpan span = WholeSound(source.Fd(), info);
    span.FirstFrame = std::clamp<qint64>(firstFrame, 0, span.Frames);
    const qint64 left = span.Frames - span.FirstFrame;
    span.Frames = frames < 0 ? left : std::min(frames, left);
    return Measure(span, path, cancel);
}

}  // namespace Loudness
