#pragma once

#include <QtGlobal>

// Turns frames of one channel count into another:
// - the same count: copied;
// - mono to stereo: the one channel on both sides;
// - to mono: the mean of all channels (stereo: (L + R) / 2);
// - three or more to stereo: left is the first channel, right the second, and
//   every further channel goes to both sides at half weight; each side is then
//   divided by its total weight (1 + (n − 2) / 2), so a signal in phase on all
//   channels keeps its level and never grows beyond full scale.
namespace ChannelMixer {

// `in` holds frames × inChannels samples, `out` has room for frames × outChannels.
void Mix(const float* in, int inChannels, float* out, int outChannels, qint64 frames);

// True when Mix changes no sample value (copy or duplication).
bool IsExact(int inChannels, int outChannels);

}  // namespace ChannelMixer
