#pragma once

#include <ebur128.h>

#include <QtGlobal>
#include <limits>
#include <vector>

namespace Loudness {

// Why integrated loudness and range have no figure.
enum class Status {
    Measured,  // IntegratedLufs and RangeLu hold figures
    Silent,    // every 400 ms block lies below the −70 LUFS gate: digital silence, or
               // samples too quiet to be measured (BelowGate tells them apart)
    TooShort,  // fewer frames than one 400 ms block
};

// What one measurement found. Levels are relative to full scale ±1.
struct Figures {
    static constexpr double kNone = -std::numeric_limits<double>::infinity();

    Status Integrated = Status::TooShort;
    double IntegratedLufs = kNone;  // LUFS, BS.1770 gated; kNone unless Measured
    double RangeLu = kNone;         // LU (EBU Tech 3342); kNone unless Measured
    double SamplePeakDbfs = kNone;  // the largest sample, dBFS; kNone for silence
    double TruePeakDbtp = kNone;    // the oversampled peak, dBTP; kNone for silence
    qint64 FullScaleSamples = 0;    // samples at either extreme of their format
    double DcOffset = 0;            // the mean of all samples, full scale ±1
    qint64 Frames = 0;

    bool Measured() const { return Integrated == Status::Measured; }
    // Gated out although not every sample is zero: a sound too quiet to measure.
    bool BelowGate() const { return Integrated == Status::Silent && SamplePeakDbfs > kNone; }
};

// Feeds sound to libebur128 block by block and collects the figures. Mono is
// one channel of weight 1 (no dual-mono gain), stereo is left and right; more
// channels follow the WAV order (L, R, C, LFE unweighted, Ls, Rs).
class Meter {
public:
    static constexpr int kMaxChannels = 64;

    // `rate` in Hz, `channels` 1 to kMaxChannels; `threads` above 1 lets the
    // true peak of each channel of long blocks be found on a thread of its
    // own. Throws AppError 5 for values outside what the measure accepts, 7
    // when memory runs out.
    Meter(int rate, int channels, int threads = 1);
    ~Meter();
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;

    // Interleaved PCM as the game stores it: 8-bit unsigned (silence 128) or
    // 16-bit signed little-endian; `frames` whole frames.
    void AddPcm(const char* bytes, qint64 frames, int bits);

    // Interleaved float samples, full scale ±1; a sample at or beyond -1 or
    // `positiveFullScale` counts as full scale (decoded integer samples top out
    // one step below +1).
    void AddFloat(const float* samples, qint64 frames, float positiveFullScale = 1.0f);

    // Interleaved 16-bit samples in the machine's order.
    void AddShorts(const qint16* samples, qint64 frames);

    Figures Result() const;

private:
    template <typename T>
    void Feed(const T* samples, qint64 frames);

    ebur128_state* state_ = nullptr;     // loudness and sample peak; true peak unless split
    std::vector<ebur128_state*> peaks_;  // split: the true peak, one per channel
    int rate_;
    int channels_;
    qint64 frames_ = 0;
    qint64 fullScale_ = 0;
    double sum_ = 0;
};

// The change of level in dB that takes `figures` to `targetLufs`, lowered
// where needed so the true peak stays at or below `ceilingDbtp`. `limited`
// tells whether the ceiling lowered it. Only for measured figures.
double GainTo(const Figures& figures, double targetLufs, double ceilingDbtp, bool* limited);

}  // namespace Loudness
