#pragma once

#include <soxr.h>

#include <QtGlobal>

// A libsoxr stream of interleaved frames: floats (full scale ±1) or 16-bit
// samples in, floats out.
class Resampler {
public:
    // The very-high-quality recipe Import resamples with.
    static soxr_quality_spec_t VeryHigh() { return soxr_quality_spec(SOXR_VHQ, 0); }
    // Linear phase and flat to 99.5 % of Nyquist, 20-bit: for finding the
    // peaks between samples, even of a sound reaching the top of its band.
    static soxr_quality_spec_t Flat();

    // Throws AppError 5 when libsoxr refuses the values.
    Resampler(double inRate, double outRate, int channels, const soxr_quality_spec_t& quality,
              soxr_datatype_t input = SOXR_FLOAT32_I);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Feeds `frames` frames of the input type (nullptr: the end of the input)
    // and passes every frame that comes out to `sink` through `out` (room for
    // `room` frames).
    template <typename T, typename Sink>
    void Process(const T* in, qint64 frames, float* out, qint64 room, Sink&& sink) {
        for (;;) {
            size_t used = 0, made = 0;
            const soxr_error_t error = soxr_process(soxr_, in, static_cast<size_t>(frames), &used,
                                                    out, static_cast<size_t>(room), &made);
            if (error) Fail(error);
            if (made > 0) sink(static_cast<const float*>(out), static_cast<qint64>(made));
            if (in) {
                in += used * static_cast<size_t>(channels_);
                frames -= static_cast<qint64>(used);
                if (frames == 0 && made < size_t(room)) return;
            } else if (made == 0) {
                return;
            }
        }
    }

private:
    [[noreturn]] static void Fail(soxr_error_t error);

    soxr_t soxr_ = nullptr;
    int channels_;
};
