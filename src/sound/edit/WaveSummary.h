#pragma once

#include <vector>

#include "EditedSound.h"

// The smallest and largest value of each channel per 256 frames and per
// 65536 frames of a sound, so that the waveform of any stretch, at any zoom,
// is drawn without reading every sample and without losing a peak between
// two columns.
class WaveSummary {
public:
    static constexpr qint64 kFine = 256;
    static constexpr qint64 kCoarse = 65536;

    struct Range {
        qint16 min = 0;
        qint16 max = 0;
    };

    WaveSummary() = default;
    // Reads the whole sound once.
    explicit WaveSummary(const EditedSound& sound);

    // The extremes of `channel` over frames [first, end) of `sound`, the sound
    // this summary was made of (whole buckets from the summary, the edges from
    // the samples). An empty range gives {0, 0}.
    Range Span(const EditedSound& sound, int channel, qint64 first, qint64 end) const;

private:
    Range Samples(const EditedSound& sound, int channel, qint64 first, qint64 end) const;

    std::vector<Range> fine_[2];
    std::vector<Range> coarse_[2];
};
