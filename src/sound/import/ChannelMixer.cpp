#include "ChannelMixer.h"

#include <algorithm>

namespace ChannelMixer {

bool IsExact(int inChannels, int outChannels) {
    return inChannels == outChannels || (inChannels == 1 && outChannels == 2);
}

void Mix(const float* in, int inChannels, float* out, int outChannels, qint64 frames) {
    if (inChannels == outChannels) {
        std::copy(in, in + frames * inChannels, out);
        return;
    }
    if (inChannels == 1) {
        for (qint64 f = 0; f < frames; ++f) out[2 * f] = out[2 * f + 1] = in[f];
        return;
    }
    if (outChannels == 1) {
        const float scale = 1.0f / float(inChannels);
        for (qint64 f = 0; f < frames; ++f) {
            const float* frame = in + f * inChannels;
            float sum = 0;
            for (int c = 0; c < inChannels; ++c) sum += frame[c];
            out[f] = sum * scale;
        }
        return;
    }
    const float scale = 1.0f / (1.0f + 0.5f * float(inChannels - 2));
    for (qint64 f = 0; f < frames; ++f) {
        const float* frame = in + f * inChannels;
        float shared = 0;
        for (int c = 2; c < inChannels; ++c) shared += frame[c];
        out[2 * f] = (frame[0] + 0.5f * shared) * scale;
        out[2 * f + 1] = (frame[1] + 0.5f * shared) * scale;
    }
}

}  // namespace ChannelMixer
