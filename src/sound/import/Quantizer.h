#pragma once

#include <QtGlobal>

// Float samples (full scale ±1) to the bytes of 16-bit signed little-endian or
// 8-bit unsigned PCM (silence 128). With dither on, triangular (TPDF) noise of
// ±1 step is added before rounding, except to exact zeros, so digital silence
// stays silent. Values beyond full scale are clipped to the extremes and
// counted, never wrapped.
class Quantizer {
public:
    Quantizer(int bits, bool dither);

    // Writes count × (bits / 8) bytes to `out`, and when `values` is given the
    // values written, full scale ±1, to it (count floats).
    void Convert(const float* in, qint64 count, char* out, float* values = nullptr);

    qint64 Clipped() const { return clipped_; }
    int BytesPerSample() const { return bits_ / 8; }

private:
    float Noise();

    int bits_;
    bool dither_;
    quint64 state_ = 0x9E3779B97F4A7C15ull;
    qint64 clipped_ = 0;
};
