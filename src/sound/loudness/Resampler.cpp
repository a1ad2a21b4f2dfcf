#include "Resampler.h"

#include "AppError.h"

soxr_quality_spec_t Resampler::Flat() {
    soxr_quality_spec_t q = soxr_quality_spec(SOXR_20_BITQ, SOXR_LINEAR_PHASE);
    q.passband_end = 0.995;
    q.stopband_begin = 1.0;
    return q;
}

Resampler::Resampler(double inRate, double outRate, int channels,
                     const soxr_quality_spec_t& quality, soxr_datatype_t input)
    : channels_(channels) {
    const soxr_io_spec_t io = soxr_io_spec(input, SOXR_FLOAT32_I);
    soxr_error_t error = nullptr;
    soxr_ = soxr_create(inRate, outRate, static_cast<unsigned>(channels), &error, &io, &quality,
                        nullptr);
    if (error) Fail(error);
}

Resampler::~Resampler() {
    soxr_delete(soxr_);
}

void Resampler::Fail(soxr_error_t error) {
    throw AppError::Standard(ErrNo::InvalidProcedureCall,
                             QStringLiteral("resampling failed: ") + QString::fromLatin1(error));
}
