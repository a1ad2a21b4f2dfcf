#include "EditedSound.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

namespace {

constexpr qint64 kChunkFrames = 4096;

// Clips x to [lo, hi]; counts it when it had to.
inline void Clip(double& x, double lo, double hi, qint64& clipped) {
    clipped += (x < lo) | (x > hi);
    x = std::clamp(x, lo, hi);
}

// Applies `op` to `frames` frames of `channels` values whose first frame is
// block frame `index`, rounding to the nearest whole value and clipping.
void ApplyOp(const PointOp& op, double* v, qint64 frames, int channels, qint64 index,
             const SampleFormat& format, qint64& clipped) {
    const double lo = format.MinValue(), hi = format.MaxValue();
    switch (op.kind) {
        case PointOp::Kind::Gain:
            // The most common step, over whole sounds: one tight loop.
            for (qint64 i = 0; i < frames * channels; ++i) {
                v[i] = RoundToEven(v[i] * op.gain);
                Clip(v[i], lo, hi, clipped);
            }
            return;
        case PointOp::Kind::Offset:
            for (qint64 f = 0; f < frames; ++f)
                for (int c = 0; c < channels; ++c) {
                    double& x = v[f * channels + c];
                    x = RoundToEven(x + op.offset[c]);
                    Clip(x, lo, hi, clipped);
                }
            return;
        case PointOp::Kind::FadeIn:
        case PointOp::Kind::FadeOut:
            break;
    }
    for (qint64 f = 0; f < frames; ++f) {
        const qint64 at = index + f - op.origin;
        const double factor = op.kind == PointOp::Kind::FadeIn
                                  ? double(at) / double(op.length)
                                  : double(op.length - 1 - at) / double(op.length);
        for (int c = 0; c < channels; ++c) {
            double& x = v[f * channels + c];
            x = RoundToEven(x * factor);
            Clip(x, lo, hi, clipped);
        }
    }
}

void ReadSegment(const Segment& seg, const SampleFormat& format, qint64 from, qint64 count,
                 qint16* out, qint64& clipped) {
    const int ch = format.channels;
    const qint64 start = seg.start + from;
    if (seg.ops.empty()) {
        if (seg.block)
            std::memcpy(out, seg.block->data() + start * ch, size_t(count * ch) * sizeof(qint16));
        else
            std::fill(out, out + count * ch, qint16(0));
        return;
    }
    double buffer[kChunkFrames * 2];
    for (qint64 done = 0; done < count; done += kChunkFrames) {
        const qint64 n = std::min(kChunkFrames, count - done);
        const qint64 index = start + done;
        for (qint64 i = 0; i < n * ch; ++i)
            buffer[i] = seg.block ? (*seg.block)[size_t(index * ch + i)] : 0;
        for (const PointOp& op : seg.ops) ApplyOp(op, buffer, n, ch, index, format, clipped);
        for (qint64 i = 0; i < n * ch; ++i) out[(done * ch) + i] = static_cast<qint16>(buffer[i]);
    }
}

}  // namespace

EditedSound::EditedSound(SampleFormat format, std::vector<qint16> samples) : format_(format) {
    Segment seg;
    seg.frames = qint64(samples.size()) / format.channels;
    seg.block = std::make_shared<const std::vector<qint16>>(std::move(samples));
    Append(std::move(seg));
}

void EditedSound::DecodeBytes(const SampleFormat& format, const char* bytes, qint64 count,
                              qint16* values) {
    if (format.bits == 8) {
        for (qint64 i = 0; i < count; ++i)
            values[i] = static_cast<qint16>(static_cast<quint8>(bytes[i]) - 128);
    } else {
        qFromLittleEndian<qint16>(bytes, count / 2, values);
    }
}

void EditedSound::Read(qint64 first, qint64 count, qint16* out, qint64* clipped) const {
    qint64 clips = 0;
    qint64 segStart = 0;
    for (const Segment& seg : segments_) {
        if (count <= 0) break;
        const qint64 segEnd = segStart + seg.frames;
        if (first < segEnd) {
            const qint64 from = first - segStart;
            const qint64 n = std::min(count, seg.frames - from);
            ReadSegment(seg, format_, from, n, out, clips);
            out += n * format_.channels;
            first += n;
            count -= n;
        }
        segStart = segEnd;
    }
    if (clipped) *clipped += clips;
}

std::vector<qint16> EditedSound::ReadAll() const {
    std::vector<qint16> all(size_t(frames_ * format_.channels));
    Read(0, frames_, all.data());
    return all;
}

void EditedSound::AppendBytes(qint64 first, qint64 count, std::vector<char>& out) const {
    std::vector<qint16> values(size_t(count * format_.channels));
    Read(first, count, values.data());
    const size_t at = out.size();
    out.resize(at + values.size() * size_t(format_.bits / 8));
    if (format_.bits == 8) {
        for (size_t i = 0; i < values.size(); ++i) out[at + i] = static_cast<char>(values[i] + 128);
    } else {
        qToLittleEndian<qint16>(values.data(), qsizetype(values.size()), out.data() + at);
    }
}

void EditedSound::Append(Segment segment) {
    if (segment.frames <= 0) return;
    frames_ += segment.frames;
    if (!segments_.empty()) {
        Segment& last = segments_.back();
        if (last.block == segment.block && last.start + last.frames == segment.start &&
            last.ops == segment.ops) {
            last.frames += segment.frames;
            return;
        }
    }
    segments_.push_back(std::move(segment));
}

EditedSound EditedSound::Slice(qint64 first, qint64 count) const {
    EditedSound result;
    result.format_ = format_;
    qint64 segStart = 0;
    for (const Segment& seg : segments_) {
        const qint64 segEnd = segStart + seg.frames;
        const qint64 from = std::max(first, segStart), to = std::min(first + count, segEnd);
        if (from < to) {
            Segment piece = seg;
            piece.start += from - segStart;
            piece.frames = to - from;
            result.Append(std::move(piece));
        }
        segStart = segEnd;
    }
    return result;
}

EditedSound EditedSound::Joined(const EditedSound& other) const {
    EditedSound result = *this;
    for (const Segment& seg : other.segments_) result.Append(seg);
    return result;
}

EditedSound EditedSound::WithOp(qint64 first, qint64 count, const PointOp& op) const {
    EditedSound middle = Slice(first, count);
    EditedSound changed;
    changed.format_ = format_;
    qint64 at = 0;  // frames of the range before this segment
    for (Segment seg : middle.segments_) {
        PointOp placed = op;
        placed.origin = seg.start - at;
        at += seg.frames;
        seg.ops.push_back(placed);
        changed.Append(std::move(seg));
    }
    return Replaced(first, count, changed);
}

EditedSound EditedSound::Replaced(qint64 first, qint64 count,
                                  const EditedSound& replacement) const {
    return Slice(0, first)
        .Joined(replacement)
        .Joined(Slice(first + count, frames_ - first - count));
}

EditedSound EditedSound::Silence(qint64 count) const {
    EditedSound result;
    result.format_ = format_;
    Segment seg;
    seg.frames = count;
    result.Append(std::move(seg));
    return result;
}

EditedSound EditedSound::Flattened() const {
    return EditedSound(format_, ReadAll());
}

size_t EditedSound::Depth() const {
    size_t depth = 0;
    for (const Segment& seg : segments_) depth = std::max(depth, seg.ops.size());
    return depth;
}

qint64 EditedSound::BlockBytes() const {
    std::set<const std::vector<qint16>*> seen;
    qint64 bytes = 0;
    for (const Segment& seg : segments_)
        if (seg.block && seen.insert(seg.block.get()).second)
            bytes += qint64(seg.block->size() * sizeof(qint16));
    return bytes;
}
