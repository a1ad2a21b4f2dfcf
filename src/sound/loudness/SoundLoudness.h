#pragma once

#include <QString>
#include <atomic>
#include <optional>

#include "LoudnessMeter.h"

namespace mUtility {
struct SoundInfoRecord;
}

namespace Loudness {

// The samples of a sound file as the measure reads them.
struct PcmSpan {
    int Fd = -1;
    qint64 Offset = 0;  // file offset of frame 0
    int Rate = 0;
    int Bits = 0;  // 8 or 16
    int Channels = 0;
    qint64 FirstFrame = 0;
    qint64 Frames = 0;
};

// The span of every whole frame of a file inspected as valid into `info`
// (the game types or WAV), read from `fd`. Throws AppError 5 when its shape
// is not 8 or 16 bits, mono or stereo.
PcmSpan WholeSound(int fd, const mUtility::SoundInfoRecord& info);

// Measures `span`, reading it block by block, on up to `threads` threads (see
// Meter). Returns nothing once `cancel` turns true. Throws AppError when the
// file cannot be read or ends early.
std::optional<Figures> Measure(const PcmSpan& span, const QString& path,
                               const std::atomic<bool>* cancel = nullptr, int threads = 1);

// Inspects `path` as the main window does and measures `frames` frames from
// `firstFrame` (counted from 0; -1 frames: to the end), within the sound;
// nothing once `cancel` turns true. A valid WAV of another depth or channel
// count than the game's (24 bits, 32, six channels) is decoded as Import
// decodes it. Throws AppError when it cannot be read,
// AppError 321 with the refusal when its header is refused.
std::optional<Figures> MeasureFile(const QString& path, const std::atomic<bool>* cancel = nullptr,
                                   qint64 firstFrame = 0, qint64 frames = -1, int threads = 1);

}  // namespace Loudness
