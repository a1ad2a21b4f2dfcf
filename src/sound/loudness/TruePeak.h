#pragma once

#include <QtGlobal>
#include <optional>
#include <vector>

#include "Resampler.h"

namespace Loudness {

// The largest magnitude, over every channel, of a sound upsampled `factor`
// times through a filter flat nearly to Nyquist (Resampler::Flat).
class TruePeak {
public:
    // `factor` 1 takes the samples as they are.
    TruePeak(int rate, int channels, int factor);

    // Interleaved frames: 16-bit samples, or floats at full scale ±1.
    void Add(const qint16* samples, qint64 frames);
    void Add(const float* samples, qint64 frames);

    // The peak at full scale 1 of everything added; nothing may be added after.
    double Linear();

    // The most a crest of a band-limited sound can lie above the largest
    // point of a grid `factor` times its rate, in dB: 20 log10(1 / cos(pi /
    // (2 factor))), a crest at Nyquist halfway between two points.
    static double GridLossDb(int factor);

private:
    void Scan(const float* samples, qint64 frames);

    int channels_;
    std::optional<Resampler> up_;
    std::vector<float> out_;
    float peak_ = 0;
};

}  // namespace Loudness
