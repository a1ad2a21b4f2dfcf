#include "TruePeak.h"

#include <algorithm>
#include <cmath>

namespace Loudness {

namespace {

constexpr qint64 kRoom = 16384;  // upsampled frames per call
constexpr qint64 kChunk = 8192;  // 16-bit samples converted per call

}  // namespace

TruePeak::TruePeak(int rate, int channels, int factor) : channels_(channels) {
    if (factor > 1) {
        up_.emplace(rate, double(rate) * factor, channels, Resampler::Flat());
        out_.resize(size_t(kRoom * channels));
    }
}

void TruePeak::Add(const qint16* samples, qint64 frames) {
    float chunk[kChunk];
    const qint64 chunkFrames = kChunk / channels_;
    for (qint64 done = 0; done < frames;) {
        const qint64 n = std::min(chunkFrames, frames - done);
        const qint16* in = samples + done * channels_;
        for (qint64 i = 0; i < n * channels_; ++i) chunk[i] = float(in[i]) * (1.0f / 32768.0f);
        Add(chunk, n);
        done += n;
    }
}

void TruePeak::Add(const float* samples, qint64 frames) {
    if (up_)
        up_->Process(samples, frames, out_.data(), kRoom,
                     [this](const float* up, qint64 n) { Scan(up, n); });
    else
        Scan(samples, frames);
}

void TruePeak::Scan(const float* x, qint64 frames) {
    float peak = peak_;
    for (qint64 i = 0; i < frames * channels_; ++i) peak = std::max(peak, std::fabs(x[i]));
    peak_ = peak;
}

double TruePeak::Linear() {
    if (up_)
        up_->Process(static_cast<const float*>(nullptr), 0, out_.data(), kRoom,
                     [this](const float* up, qint64 n) { Scan(up, n); });
    return peak_;
}

double TruePeak::GridLossDb(int factor) {
    return -20 * std::log10(std::cos(3.14159265358979323846 / (2 * factor)));
}

}  // namespace Loudness
