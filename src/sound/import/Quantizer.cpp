#include "Quantizer.h"

#include <QtEndian>
#include <cmath>

Quantizer::Quantizer(int bits, bool dither) : bits_(bits), dither_(dither) {}

// Two uniform values in [0, 1) from one xorshift64* draw; their difference is
// triangular over (−1, 1).
float Quantizer::Noise() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    const quint64 r = state_ * 0x2545F4914F6CDD1Dull;
    constexpr float unit = 1.0f / 4294967296.0f;
    return float(r >> 32) * unit - float(r & 0xFFFFFFFFu) * unit;
}

void Quantizer::Convert(const float* in, qint64 count, char* out, float* values) {
    const float scale = bits_ == 8 ? 128.0f : 32768.0f;
    const long lo = bits_ == 8 ? -128 : -32768;
    const long hi = bits_ == 8 ? 127 : 32767;
    for (qint64 i = 0; i < count; ++i) {
        const float x = in[i];
        float v = x * scale;
        if (dither_ && x != 0.0f) v += Noise();
        long q;
        if (v < float(hi) + 0.5f && v >= float(lo) - 0.5f) {
            q = std::lrint(v);
        } else {
            q = std::isnan(v) ? 0 : (v > 0 ? hi : lo);
            ++clipped_;
        }
        if (values) values[i] = float(q) / scale;
        if (bits_ == 8) {
            out[i] = static_cast<char>(q + 128);
        } else {
            qToLittleEndian<qint16>(static_cast<qint16>(q), out + 2 * i);
        }
    }
}
