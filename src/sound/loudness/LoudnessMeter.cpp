#include "LoudnessMeter.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <future>
#include <system_error>

#include "AppError.h"

namespace Loudness {

namespace {

constexpr qint64 kChunkSamples = 8192;
constexpr int kModes = EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK;

// Blocks shorter than this are not worth a thread.
constexpr qint64 kParallelFrames = 16384;

int AddFrames(ebur128_state* state, const qint16* samples, qint64 frames) {
    return ebur128_add_frames_short(state, samples, static_cast<size_t>(frames));
}

int AddFrames(ebur128_state* state, const float* samples, qint64 frames) {
    return ebur128_add_frames_float(state, samples, static_cast<size_t>(frames));
}

// BS.1770's true peak: 4x oversampling below 96 kHz, 2x below 192 kHz.
int TruePeakFactor(int rate) {
    return rate < 96000 ? 4 : rate < 192000 ? 2 : 1;
}

double Db(double linear) {
    return linear > 0 ? 20.0 * std::log10(linear) : Figures::kNone;
}

void Check(int code) {
    if (code == EBUR128_ERROR_NOMEM) throw AppError::Standard(ErrNo::OutOfMemory);
    if (code != EBUR128_SUCCESS)
        throw AppError::Standard(ErrNo::InvalidProcedureCall,
                                 QStringLiteral("the loudness measure failed (code %1)").arg(code));
}

void CheckShape(int rate, int channels) {
    if (channels < 1 || channels > Meter::kMaxChannels || rate < 16 || rate > 2822400)
        throw AppError::Standard(ErrNo::InvalidProcedureCall,
                                 QStringLiteral("loudness cannot be measured at %1 Hz, %2 channels")
                                     .arg(rate)
                                     .arg(channels));
}

}  // namespace

Meter::Meter(int rate, int channels) : rate_(rate), channels_(channels) {
    CheckShape(rate, channels);
    truePeak_.emplace(rate, channels, TruePeakFactor(rate));
    state_ =
        ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(rate), kModes);
    if (!state_) throw AppError::Standard(ErrNo::OutOfMemory);
    // BS.1770 weighs a single channel 1, like one side of a stereo pair.
    if (channels == 1) Check(ebur128_set_channel(state_, 0, EBUR128_CENTER));
}

Meter::~Meter() {
    ebur128_destroy(&state_);
}

template <typename T>
void Meter::Feed(const T* samples, qint64 frames) {
    // The true peak costs about twice the rest: a long block has it found on
    // a thread of its own meanwhile.
    std::future<void> peak;
    try {
        if (frames >= kParallelFrames)
            peak = std::async(std::launch::async, [&] { truePeak_->Add(samples, frames); });
    } catch (const std::system_error&) {
        // No thread to be had: found here, after all.
    }
    if (!peak.valid()) truePeak_->Add(samples, frames);
    const int code = AddFrames(state_, samples, frames);
    if (peak.valid()) peak.get();
    Check(code);
}

void Meter::AddShorts(const qint16* samples, qint64 frames) {
    const qint64 count = frames * channels_;
    // Integer sums, so that the loop vectorises.
    qint64 sum = 0, extremes = 0;
    for (qint64 i = 0; i < count; ++i) {
        sum += samples[i];
        extremes += (samples[i] == -32768) | (samples[i] == 32767);
    }
    sum_ += double(sum) / 32768.0;
    fullScale_ += extremes;
    frames_ += frames;
    Feed(samples, frames);
}

void Meter::AddPcm(const char* bytes, qint64 frames, int bits) {
    qint16 chunk[kChunkSamples];
    const qint64 chunkFrames = kChunkSamples / channels_;
    const auto* u = reinterpret_cast<const uchar*>(bytes);
    for (qint64 done = 0; done < frames;) {
        const qint64 n = std::min(chunkFrames, frames - done);
        const qint64 count = n * channels_;
        const qint64 first = done * channels_;
        if (bits == 8) {
            // 0 and 255 are full scale; 255 becomes 32512, so count them here.
            for (qint64 i = 0; i < count; ++i) {
                chunk[i] = static_cast<qint16>((int(u[first + i]) - 128) * 256);
                fullScale_ += u[first + i] == 255;
            }
        } else {
            qFromLittleEndian<qint16>(bytes + 2 * first, count, chunk);
        }
        AddShorts(chunk, n);
        done += n;
    }
}

void Meter::AddFloat(const float* samples, qint64 frames, float positiveFullScale) {
    const qint64 count = frames * channels_;
    for (qint64 i = 0; i < count; ++i) {
        sum_ += samples[i];
        fullScale_ += samples[i] >= positiveFullScale || samples[i] <= -1.0f;
    }
    frames_ += frames;
    Feed(samples, frames);
}

Figures Meter::Result() {
    Figures f;
    f.Frames = frames_;
    f.FullScaleSamples = fullScale_;
    f.DcOffset = frames_ > 0 ? sum_ / double(frames_ * channels_) : 0;
    double sample = 0;
    for (int c = 0; c < channels_; ++c) {
        double s = 0;
        Check(ebur128_sample_peak(state_, static_cast<unsigned>(c), &s));
        sample = std::max(sample, s);
    }
    if (!truePeakLinear_) truePeakLinear_ = truePeak_->Linear();
    f.SamplePeakDbfs = Db(sample);
    f.TruePeakDbtp = Db(std::max(*truePeakLinear_, sample));
    // The first block is four of the measure's 100 ms steps.
    if (frames_ < qint64((rate_ + 5) / 10) * 4) return f;
    double integrated = 0, range = 0;
    Check(ebur128_loudness_global(state_, &integrated));
    if (!std::isfinite(integrated)) {
        f.Integrated = Status::Silent;
        return f;
    }
    Check(ebur128_loudness_range(state_, &range));
    f.Integrated = Status::Measured;
    f.IntegratedLufs = integrated;
    f.RangeLu = range;
    return f;
}

double GainTo(const Figures& figures, double targetLufs, double ceilingDbtp, bool* limited) {
    const double wanted = targetLufs - figures.IntegratedLufs;
    const double room = ceilingDbtp - figures.TruePeakDbtp;
    if (limited) *limited = room < wanted;
    return std::min(wanted, room);
}

}  // namespace Loudness
