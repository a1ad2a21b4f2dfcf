#pragma once

#include <QtGlobal>
#include <memory>
#include <vector>

// Samples of one shape: 8-bit (unsigned on disk, 128 is silence) or 16-bit
// signed, in 1 or 2 interleaved channels. In memory every sample is held
// centred on 0: an 8-bit byte b is b - 128.
struct SampleFormat {
    int bits = 16;
    int channels = 1;

    int MinValue() const { return bits == 8 ? -128 : -32768; }
    int MaxValue() const { return bits == 8 ? 127 : 32767; }
    // The magnitude of full scale (0 dBFS).
    double FullScale() const { return bits == 8 ? 128.0 : 32768.0; }
    int FrameBytes() const { return bits / 8 * channels; }
};

// Rounds to nearest, ties to even, as nearbyint does in the default rounding
// mode, without a library call: adding and taking away 1.5 x 2^52 leaves no
// bits below the unit. Exact for |x| < 2^51; larger values stay larger than
// any sample and are clipped.
inline double RoundToEven(double x) {
    constexpr double kShift = 6755399441055744.0;
    return (x + kShift) - kShift;
}

// One step applied to the samples of a segment as they are read. Fades are
// placed by `origin`, the block frame where the fade's first frame lies, so a
// segment keeps its fade when it is split or moved.
struct PointOp {
    enum class Kind { Gain, FadeIn, FadeOut, Offset };
    Kind kind = Kind::Gain;
    double gain = 1;            // Gain: the factor
    qint64 origin = 0;          // FadeIn/FadeOut: block frame of the fade's first frame
    qint64 length = 0;          // FadeIn/FadeOut: frames of the whole fade
    double offset[2] = {0, 0};  // Offset: added to each channel
    bool operator==(const PointOp&) const = default;
};

// A stretch of an immutable block of samples, with the steps applied to it
// on reading; a segment without a block is silence.
struct Segment {
    std::shared_ptr<const std::vector<qint16>> block;
    qint64 start = 0;  // first frame within the block
    qint64 frames = 0;
    std::vector<PointOp> ops;
};

// A sound as a list of segments over shared blocks: copying it is cheap, and
// an edit copies only the segments it touches, never the samples, so every
// version kept for undo costs little more than its list. Immutable once made;
// the edit operations return new versions.
class EditedSound {
public:
    EditedSound() = default;
    // Takes the centred samples (frames x channels, interleaved) as one block.
    EditedSound(SampleFormat format, std::vector<qint16> samples);
    // Converts `count` sample bytes as stored on disk into `values` centred values.
    static void DecodeBytes(const SampleFormat& format, const char* bytes, qint64 count,
                            qint16* values);

    const SampleFormat& Format() const { return format_; }
    qint64 Frames() const { return frames_; }

    // Reads frames [first, first + count) into `out` (count x channels values,
    // centred). `clipped`, when given, is increased by the number of values a
    // step had to clip. The range must lie within the sound.
    void Read(qint64 first, qint64 count, qint16* out, qint64* clipped = nullptr) const;
    std::vector<qint16> ReadAll() const;

    // Frames [first, first + count) as the bytes the file stores, appended to `out`.
    void AppendBytes(qint64 first, qint64 count, std::vector<char>& out) const;

    // The sound made of frames [first, first + count) of this one.
    EditedSound Slice(qint64 first, qint64 count) const;
    // This sound followed by `other` (of the same format).
    EditedSound Joined(const EditedSound& other) const;
    // This sound with `op` applied to frames [first, first + count).
    EditedSound WithOp(qint64 first, qint64 count, const PointOp& op) const;
    // This sound with frames [first, first + count) replaced by `replacement`.
    EditedSound Replaced(qint64 first, qint64 count, const EditedSound& replacement) const;
    // Silence of `count` frames in this sound's format.
    EditedSound Silence(qint64 count) const;

    // The same sound as one block of the values it reads as. For a chain of
    // edits with no undo to keep, whose reads would otherwise go through
    // every step taken before.
    EditedSound Flattened() const;
    // The most steps any frame goes through when read.
    size_t Depth() const;

    // Blocks a segment refers to, each counted once: the memory this version holds.
    qint64 BlockBytes() const;
    const std::vector<Segment>& Segments() const { return segments_; }

private:
    void Append(Segment segment);

    SampleFormat format_;
    std::vector<Segment> segments_;
    qint64 frames_ = 0;
};
