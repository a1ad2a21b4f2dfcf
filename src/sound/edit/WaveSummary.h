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
    // The summary of `sound`, made from `before`, the summary of `earlier`.
    // Buckets whose frames `sound` takes from the same samples with the same
    // steps are copied; those it takes through one more gain are mapped by it
    // (rounding and clipping keep the order of values); only the rest are read.
    WaveSummary(const EditedSound& sound, const WaveSummary& before, const EditedSound& earlier);

    // The extremes of `channel` over frames [first, end) of `sound`, the sound
    // this summary was made of (whole buckets from the summary, the edges from
    // the samples). An empty range gives {0, 0}.
    Range Span(const EditedSound& sound, int channel, qint64 first, qint64 end) const;

private:
    // Sizes the buckets for `frames` frames of `channels` channels.
    void Size(qint64 frames, int channels);
    // Fills fine buckets [first, end) from the samples.
    void ReadFine(const EditedSound& sound, qint64 first, qint64 end);
    // Every coarse bucket from the fine ones.
    void MakeCoarse();
    Range Samples(const EditedSound& sound, int channel, qint64 first, qint64 end) const;

    std::vector<Range> fine_[2];
    std::vector<Range> coarse_[2];
};
