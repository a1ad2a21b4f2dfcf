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
    Size(sound.Frames(), sound.Format().channels);
    ReadFine(sound, 0, qint64(fine_[0].size()));
    MakeCoarse();
}

void WaveSummary::Size(qint64 frames, int channels) {
    for (int c = 0; c < channels; ++c) {
        fine_[c].assign(size_t((frames + kFine - 1) / kFine), kNone);
        coarse_[c].assign(size_t((frames + kCoarse - 1) / kCoarse), kNone);
    }
}

void WaveSummary::ReadFine(const EditedSound& sound, qint64 first, qint64 end) {
    const int ch = sound.Format().channels;
    const qint64 perRead = kCoarse / kFine;
    std::vector<qint16> buffer(size_t(kCoarse * ch));
    for (qint64 b0 = first; b0 < end; b0 += perRead) {
        const qint64 at = b0 * kFine;
        const qint64 n = std::min(std::min(end, b0 + perRead) * kFine, sound.Frames()) - at;
        sound.Read(at, n, buffer.data());
        for (int c = 0; c < ch; ++c)
            for (qint64 b = 0; b < n; b += kFine) {
                Range fine = kNone;
                for (qint64 f = b; f < std::min(n, b + kFine); ++f) {
                    const qint16 v = buffer[size_t(f * ch + c)];
                    fine.min = std::min(fine.min, v);
                    fine.max = std::max(fine.max, v);
                }
                fine_[c][size_t(b0 + b / kFine)] = fine;
            }
    }
}

void WaveSummary::MakeCoarse() {
    const qint64 perCoarse = kCoarse / kFine;
    for (int c = 0; c < 2; ++c)
        for (size_t b = 0; b < fine_[c].size(); ++b) Widen(coarse_[c][b / perCoarse], fine_[c][b]);
}

namespace {

// How a stretch of frames of a later version comes from the same frames of an
// earlier one: unchanged, through one more gain (its factor), or otherwise.
struct Relation {
    enum Kind { Same, Gained, Other } kind = Other;
    double gain = 1;
    bool operator==(const Relation&) const = default;
};

Relation Relate(const Segment& now, qint64 nowAt, const Segment& then, qint64 thenAt) {
    if (now.block != then.block) return {};
    if (!now.block) return {Relation::Same};  // silence, whatever its steps
    if (now.start + nowAt != then.start + thenAt) return {};
    const size_t n = then.ops.size();
    if (now.ops.size() < n || now.ops.size() > n + 1) return {};
    if (!std::equal(then.ops.begin(), then.ops.end(), now.ops.begin())) return {};
    if (now.ops.size() == n) return {Relation::Same};
    const PointOp& last = now.ops.back();
    if (last.kind != PointOp::Kind::Gain || last.gain < 0) return {};
    return {Relation::Gained, last.gain};
}

struct Run {
    qint64 first, end;
    Relation relation;
};

// The stretches of `now` and how each relates to `then` (of as many frames).
std::vector<Run> Runs(const EditedSound& now, const EditedSound& then) {
    std::vector<Run> runs;
    const auto &a = now.Segments(), &b = then.Segments();
    size_t i = 0, j = 0;
    qint64 ai = 0, bj = 0;
    for (qint64 at = 0; at < now.Frames();) {
        const qint64 n = std::min(a[i].frames - ai, b[j].frames - bj);
        const Relation r = Relate(a[i], ai, b[j], bj);
        if (!runs.empty() && runs.back().relation == r)
            runs.back().end += n;
        else
            runs.push_back({at, at + n, r});
        at += n;
        if ((ai += n) == a[i].frames) ++i, ai = 0;
        if ((bj += n) == b[j].frames) ++j, bj = 0;
    }
    return runs;
}

}  // namespace

WaveSummary::WaveSummary(const EditedSound& sound, const WaveSummary& before,
                         const EditedSound& earlier) {
    if (sound.Frames() != earlier.Frames()) {
        *this = WaveSummary(sound);
        return;
    }
    const int ch = sound.Format().channels;
    const double lo = sound.Format().MinValue(), hi = sound.Format().MaxValue();
    Size(sound.Frames(), ch);
    const std::vector<Run> runs = Runs(sound, earlier);
    const qint64 buckets = qint64(fine_[0].size());
    size_t r = 0;
    qint64 unread = -1;  // the first of the buckets still to be read, -1 none
    for (qint64 b = 0; b <= buckets; ++b) {
        const qint64 first = b * kFine, end = std::min((b + 1) * kFine, sound.Frames());
        while (b < buckets && runs[r].end <= first) ++r;
        const bool within = b < buckets && runs[r].first <= first && runs[r].end >= end;
        const Relation rel = within ? runs[r].relation : Relation{};
        if (rel.kind == Relation::Other) {
            if (unread < 0) unread = b;
            if (b < buckets) continue;
        }
        if (unread >= 0) ReadFine(sound, unread, b);
        unread = -1;
        if (b == buckets) break;
        for (int c = 0; c < ch; ++c) {
            Range v = before.fine_[c][size_t(b)];
            if (rel.kind == Relation::Gained) {
                auto map = [&](qint16 x) {
                    return qint16(std::clamp(RoundToEven(x * rel.gain), lo, hi));
                };
                v = {map(v.min), map(v.max)};
            }
            fine_[c][size_t(b)] = v;
        }
    }
    MakeCoarse();
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
