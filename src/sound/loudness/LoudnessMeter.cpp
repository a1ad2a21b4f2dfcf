#include "LoudnessMeter.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <future>
#include <system_error>
#include <vector>

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

double Db(double linear) {
    return linear > 0 ? 20.0 * std::log10(linear) : Figures::kNone;
}

void Check(int code) {
    if (code == EBUR128_ERROR_NOMEM) throw AppError::Standard(ErrNo::OutOfMemory);
    if (code != EBUR128_SUCCESS)
        throw AppError::Standard(ErrNo::InvalidProcedureCall,
                                 QStringLiteral("the loudness measure failed (code %1)").arg(code));
}

ebur128_state* NewState(int channels, int rate, int modes) {
    ebur128_state* state =
        ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(rate), modes);
    if (!state) throw AppError::Standard(ErrNo::OutOfMemory);
    return state;
}

}  // namespace

Meter::Meter(int rate, int channels, int threads) : rate_(rate), channels_(channels) {
    if (channels < 1 || channels > kMaxChannels || rate < 16 || rate > 2822400)
        throw AppError::Standard(ErrNo::InvalidProcedureCall,
                                 QStringLiteral("loudness cannot be measured at %1 Hz, %2 channels")
                                     .arg(rate)
                                     .arg(channels));
    // The true peak's oversampling costs three times the rest, and each
    // channel's is its own: with threads to spare, each channel's is found by
    // a state of its own on a thread of its own (which K-filters its channel
    // once more, the price).
    const bool split = threads > 1 && channels > 1;
    state_ = NewState(channels, rate, split ? kModes : kModes | EBUR128_MODE_TRUE_PEAK);
    try {
        // BS.1770 weighs a single channel 1, like one side of a stereo pair.
        if (channels == 1) Check(ebur128_set_channel(state_, 0, EBUR128_CENTER));
        for (int c = 0; split && c < channels; ++c)
            peaks_.push_back(NewState(1, rate, EBUR128_MODE_TRUE_PEAK));
    } catch (...) {
        for (ebur128_state*& p : peaks_) ebur128_destroy(&p);
        ebur128_destroy(&state_);
        throw;
    }
}

Meter::~Meter() {
    for (ebur128_state*& p : peaks_) ebur128_destroy(&p);
    ebur128_destroy(&state_);
}

template <typename T>
void Meter::Feed(const T* samples, qint64 frames) {
    if (peaks_.empty()) {
        Check(AddFrames(state_, samples, frames));
        return;
    }
    // Channel c's samples, taken out of the frames, to its own state.
    const auto peakOf = [this, samples, frames](int c) {
        std::vector<T> one(static_cast<size_t>(frames));
        for (qint64 f = 0; f < frames; ++f) one[size_t(f)] = samples[f * channels_ + c];
        return AddFrames(peaks_[size_t(c)], one.data(), frames);
    };
    std::vector<std::future<int>> jobs;
    try {
        for (int c = 0; frames >= kParallelFrames && c < channels_; ++c)
            jobs.push_back(std::async(std::launch::async, peakOf, c));
    } catch (const std::system_error&) {
        // No thread to be had: the rest are found here.
    }
    const int code = AddFrames(state_, samples, frames);
    for (int c = int(jobs.size()); c < channels_; ++c) Check(peakOf(c));
    for (std::future<int>& job : jobs) Check(job.get());
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

Figures Meter::Result() const {
    Figures f;
    f.Frames = frames_;
    f.FullScaleSamples = fullScale_;
    f.DcOffset = frames_ > 0 ? sum_ / double(frames_ * channels_) : 0;
    double sample = 0, truePeak = 0;
    for (int c = 0; c < channels_; ++c) {
        double s = 0, t = 0;
        Check(ebur128_sample_peak(state_, static_cast<unsigned>(c), &s));
        if (peaks_.empty())
            Check(ebur128_true_peak(state_, static_cast<unsigned>(c), &t));
        else
            Check(ebur128_true_peak(peaks_[size_t(c)], 0, &t));
        sample = std::max(sample, s);
        truePeak = std::max(truePeak, t);
    }
    f.SamplePeakDbfs = Db(sample);
    f.TruePeakDbtp = Db(std::max(truePeak, sample));
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
