#pragma once

#include <QString>

#include "EditedSound.h"

// The edits of a sound, each on frames [first, first + count) of it (callers
// check that the range lies within the sound and is not empty). Every result
// is rounded to whole values and clipped to the format's range, never
// wrapped; `clipped` counts the values that had to be clipped.
namespace EditOperations {

// The widest change of level an edit takes, in dB either way, and the lowest
// peak to normalize to: about the range of 16-bit values, past which a gain
// clips every value or rounds them all to silence.
constexpr double kMaxGainDB = 96;
constexpr double kMinPeakDBFS = -96;

struct Result {
    EditedSound sound;
    qint64 clipped = 0;
};

Result Delete(const EditedSound& s, qint64 first, qint64 count);
// Keeps only the range.
Result Crop(const EditedSound& s, qint64 first, qint64 count);
Result Silence(const EditedSound& s, qint64 first, qint64 count);
Result Gain(const EditedSound& s, qint64 first, qint64 count, double dB);
// Scales the range so that its largest magnitude is `dBFS` below full scale;
// a silent range stays as it is.
Result Normalize(const EditedSound& s, qint64 first, qint64 count, double dBFS);
// A linear ramp from silence at the first frame (in), or to silence at the
// last frame (out); frames outside the range are not touched.
Result FadeIn(const EditedSound& s, qint64 first, qint64 count);
Result FadeOut(const EditedSound& s, qint64 first, qint64 count);
// Subtracts each channel's mean over the range.
Result RemoveDC(const EditedSound& s, qint64 first, qint64 count);
// Crossfades the last `frames` frames into the start, so that the sound
// played in a loop has no jump at the seam; the result is `frames` shorter.
// Needs 0 < frames and 2 x frames <= the sound's frames.
Result MakeSeamlessLoop(const EditedSound& s, qint64 frames);

// The frame nearest to `frame`, no further than `radius` frames, where the
// first channel crosses or touches zero; `frame` itself when there is none.
qint64 NearestZeroCrossing(const EditedSound& s, qint64 frame, qint64 radius);

// The largest magnitude of the range, in dBFS (-inf for silence).
double PeakDBFS(const EditedSound& s, qint64 first, qint64 count);

}  // namespace EditOperations
