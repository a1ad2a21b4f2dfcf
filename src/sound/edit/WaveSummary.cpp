#include "WaveSummary.h"

#include <algorithm>

namespace {

void Widen(WaveSummary::Range& r, const WaveSummary::Range& by) {
    r.min = std::min(r.min, by.min);
    r.max = std::max(r.max, by.max);
}

constexpr WaveSummary::Range kNone{32767, -32768};

}  // namespace

WaveSummary::WaveSummary(const EditedSound& sound) {
    const int ch = sound.Format().channels;
    const qint64 frames = sound.Frames();
    for (int c = 0; c < ch; ++c) {
        fine_[c].reserve(size_t((frames + kFine - 1) / kFine));
        coarse_[c].reserve(size_t((frames + kCoarse - 1) / kCoarse));
    }
    std::vector<qint16> buffer(size_t(kCoarse * ch));
    for (qint64 at = 0; at < frames; at += kCoarse) {
        const qint64 n = std::min(kCoarse, frames - at);
        sound.Read(at, n, buffer.data());
        for (int c = 0; c < ch; ++c) {
            Range coarse = kNone;
            for (qint64 b = 0; b < n; b += kFine) {
                Range fine = kNone;
                const qint64 end = std::min(n, b + kFine);
                for (qint64 f = b; f < end; ++f) {
                    const qint16 v = buffer[size_t(f * ch + c)];
                    fine.min = std::min(fine.min, v);
                    fine.max = std::max(fine.max, v);
                }
                fine_[c].push_back(fine);
                Widen(coarse, fine);
            }
            coarse_[c].push_back(coarse);
        }
    }
}

WaveSummary::Range WaveSummary::Samples(const EditedSound& sound, int channel, qint64 first,
                                        qint64 end) const {
    Range r = kNone;
    const int ch = sound.Format().channels;
    std::vector<qint16> v(size_t((end - first) * ch));
    sound.Read(first, end - first, v.data());
    for (qint64 f = 0; f < end - first; ++f)
        Widen(r, {v[size_t(f * ch + channel)], v[size_t(f * ch + channel)]});
    return r;
}

WaveSummary::Range WaveSummary::Span(const EditedSound& sound, int channel, qint64 first,
                                     qint64 end) const {
    first = std::max<qint64>(first, 0);
    end = std::min(end, sound.Frames());
    if (first >= end) return {};
    Range r = kNone;
    while (first < end) {
        if (first % kCoarse == 0 && first + kCoarse <= end) {
            Widen(r, coarse_[channel][size_t(first / kCoarse)]);
            first += kCoarse;
        } else if (first % kFine == 0 && first + kFine <= end) {
            Widen(r, fine_[channel][size_t(first / kFine)]);
            first += kFine;
        } else {
            // The samples up to the next bucket's start, or to the end.
            const qint64 next = std::min(end, (first / kFine + 1) * kFine);
            Widen(r, Samples(sound, channel, first, next));
            first = next;
        }
    }
    return r;
}
