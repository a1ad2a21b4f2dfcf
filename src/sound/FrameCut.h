#pragma once

#include <QString>

#include "Inspection.h"
#include "SoundInfo.h"

namespace mUtility {

// A stretch of a sound file saved as a file of its own. The source is
// inspected as the main window does; only a valid file with a playable shape
// (8 or 16 bits, 1 or 2 channels) can be cut. Frames are counted from 0, as the
// preview's Selection panel shows them, and both ends are included.
class FrameCut {
public:
    // Inspects `sourcePath`; throws AppError when it cannot be opened or read.
    explicit FrameCut(const QString& sourcePath);

    // "" when the source can be cut, else why not (on one line).
    const QString& Refusal() const { return refusal_; }
    const SoundInfoRecord& Info() const { return info_; }
    // Whole frames of the source's samples.
    qint64 Frames() const { return frames_; }
    qint64 FrameBytes() const { return frameBytes_; }

    // "" when first..last lies within the source's frames, else why not.
    QString RangeProblem(qint64 first, qint64 last) const;

    // The type `dest` is written in: "WAV" for a name ending in .wav, "SND" or
    // "WSD" for those, else the source's own type.
    QString DestType(const QString& dest) const;

    // "" when a file of `dest`'s type can hold the source's values, else why
    // not (on one line): a WAV of a rate, depth or channel count no game
    // header holds is cut into a WAV, or imported.
    QString DestProblem(const QString& dest) const;

    // Writes frames first..last as `dest`: the source's header values with the
    // new data length (a WAV source cut into a game file gets the flag that
    // follows its bit depth and ID 0), then exactly the source's sample bytes
    // of those frames. The file replaces `dest` only once complete (`dest` may
    // be the source). Throws AppError 5 for a refused source or destination
    // type or a range outside the frames, and the error of a failed read or
    // write.
    void Write(qint64 first, qint64 last, const QString& dest) const;

    // The header `dest` is written with (see Write) for `dataLength` sample bytes.
    QByteArray HeaderFor(const QString& dest, qint32 dataLength) const;
    // Where the source's samples start.
    qint64 DataOffset() const;

private:
    QString source_;
    SoundInfoRecord info_;
    QString refusal_;
    qint64 frames_ = 0;
    qint64 frameBytes_ = 0;
};

}  // namespace mUtility
