#include "EditOperations.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace EditOperations {

namespace {

constexpr qint64 kChunkFrames = 1 << 16;

// Calls `visit(values, frames)` for successive pieces of the range.
template <typename Visit>
void ForEachChunk(const EditedSound& s, qint64 first, qint64 count, qint64* clipped, Visit visit) {
    std::vector<qint16> buffer(size_t(std::min(count, kChunkFrames) * s.Format().channels));
    for (qint64 done = 0; done < count; done += kChunkFrames) {
        const qint64 n = std::min(kChunkFrames, count - done);
        s.Read(first + done, n, buffer.data(), clipped);
        visit(buffer.data(), n);
    }
}

qint64 ClipsIn(const EditedSound& s, qint64 first, qint64 count) {
    qint64 clipped = 0;
    ForEachChunk(s, first, count, &clipped, [](const qint16*, qint64) {});
    return clipped;
}

// `op` applied to the range, with the values it alone had to clip.
Result Apply(const EditedSound& s, qint64 first, qint64 count, const PointOp& op) {
    Result r{s.WithOp(first, count, op), 0};
    // A factor of at most 1 cannot take a value out of range.
    const bool canClip = op.kind == PointOp::Kind::Offset ||
                         (op.kind == PointOp::Kind::Gain && std::abs(op.gain) > 1);
    if (canClip) r.clipped = ClipsIn(r.sound, first, count) - ClipsIn(s, first, count);
    return r;
}

}  // namespace

Result Delete(const EditedSound& s, qint64 first, qint64 count) {
    return {s.Replaced(first, count, s.Silence(0)), 0};
}

Result Crop(const EditedSound& s, qint64 first, qint64 count) {
    return {s.Slice(first, count), 0};
}

Result Silence(const EditedSound& s, qint64 first, qint64 count) {
    return {s.Replaced(first, count, s.Silence(count)), 0};
}

Result Gain(const EditedSound& s, qint64 first, qint64 count, double dB) {
    PointOp op;
    op.gain = std::pow(10.0, dB / 20);
    return Apply(s, first, count, op);
}

namespace {

int PeakOf(const EditedSound& s, qint64 first, qint64 count) {
    int peak = 0;
    ForEachChunk(s, first, count, nullptr, [&](const qint16* v, qint64 n) {
        for (qint64 i = 0; i < n * s.Format().channels; ++i)
            peak = std::max(peak, std::abs(int(v[i])));
    });
    return peak;
}

double DBFS(int peak, const SampleFormat& format) {
    if (peak == 0) return -std::numeric_limits<double>::infinity();
    return 20 * std::log10(peak / format.FullScale());
}

}  // namespace

double PeakDBFS(const EditedSound& s, qint64 first, qint64 count) {
    return DBFS(PeakOf(s, first, count), s.Format());
}

Result Normalize(const EditedSound& s, qint64 first, qint64 count, double dBFS) {
    const int peak = PeakOf(s, first, count);
    if (peak == 0) return {s, 0};
    PointOp op;
    op.gain = std::pow(10.0, (dBFS - DBFS(peak, s.Format())) / 20);
    // When the peak stays within range, so does every value: no need to count.
    if (RoundToEven(peak * op.gain) <= s.Format().MaxValue())
        return {s.WithOp(first, count, op), 0};
    return Apply(s, first, count, op);
}

Result FadeIn(const EditedSound& s, qint64 first, qint64 count) {
    PointOp op;
    op.kind = PointOp::Kind::FadeIn;
    op.length = count;
    return Apply(s, first, count, op);
}

Result FadeOut(const EditedSound& s, qint64 first, qint64 count) {
    PointOp op;
    op.kind = PointOp::Kind::FadeOut;
    op.length = count;
    return Apply(s, first, count, op);
}

Result RemoveDC(const EditedSound& s, qint64 first, qint64 count) {
    const int ch = s.Format().channels;
    double sum[2] = {0, 0};
    ForEachChunk(s, first, count, nullptr, [&](const qint16* v, qint64 n) {
        for (qint64 f = 0; f < n; ++f)
            for (int c = 0; c < ch; ++c) sum[c] += v[f * ch + c];
    });
    PointOp op;
    op.kind = PointOp::Kind::Offset;
    for (int c = 0; c < ch; ++c) op.offset[c] = -sum[c] / double(count);
    return Apply(s, first, count, op);
}

Result MakeSeamlessLoop(const EditedSound& s, qint64 frames) {
    const int ch = s.Format().channels;
    const qint64 total = s.Frames();
    std::vector<qint16> head(size_t(frames * ch)), tail(size_t(frames * ch));
    s.Read(0, frames, head.data());
    s.Read(total - frames, frames, tail.data());
    // The start fades in while the end, played on past the seam, fades out:
    // the first frame is the frame that followed the new last one.
    for (qint64 f = 0; f < frames; ++f) {
        const double in = double(f) / double(frames);
        for (int c = 0; c < ch; ++c) {
            const size_t i = size_t(f * ch + c);
            head[i] = static_cast<qint16>(std::nearbyint(head[i] * in + tail[i] * (1 - in)));
        }
    }
    const EditedSound mixed(s.Format(), std::move(head));
    return {mixed.Joined(s.Slice(frames, total - 2 * frames)), 0};
}

qint64 NearestZeroCrossing(const EditedSound& s, qint64 frame, qint64 radius) {
    // One frame more before the window, to see the sign the first one changes from.
    const qint64 first = std::max<qint64>(0, frame - radius - 1);
    const qint64 last = std::min(s.Frames() - 1, frame + radius);
    if (last < first) return frame;
    const int ch = s.Format().channels;
    std::vector<qint16> v(size_t((last - first + 1) * ch));
    s.Read(first, last - first + 1, v.data());
    auto at = [&](qint64 f) { return int(v[size_t((f - first) * ch)]); };
    // A frame is a crossing when it is zero or its sign differs from the one before.
    auto crossing = [&](qint64 f) {
        return at(f) == 0 || (f > first && (at(f) < 0) != (at(f - 1) < 0));
    };
    for (qint64 d = 0; d <= radius; ++d) {
        if (frame - d >= first && frame - d <= last && crossing(frame - d)) return frame - d;
        if (frame + d <= last && frame + d >= first && crossing(frame + d)) return frame + d;
    }
    return frame;
}

}  // namespace EditOperations
