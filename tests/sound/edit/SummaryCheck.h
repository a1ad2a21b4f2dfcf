#pragma once

#include "EditedSound.h"
#include "WaveSummary.h"

// Every fine bucket of `got` as in a summary read from the samples of `s`.
inline bool SameBuckets(const WaveSummary& got, const EditedSound& s) {
    const WaveSummary want(s);
    for (int c = 0; c < s.Format().channels; ++c)
        for (qint64 f = 0; f < s.Frames(); f += WaveSummary::kFine) {
            const auto a = got.Span(s, c, f, f + WaveSummary::kFine);
            const auto b = want.Span(s, c, f, f + WaveSummary::kFine);
            if (a.min != b.min || a.max != b.max) return false;
        }
    return true;
}
