#pragma once

#include <QString>
#include <array>

#include "SoundInfo.h"

// The Convert dialog's rules for turning the user's choices into header values,
// shared by the dialog and the command line. Each Apply function changes the
// record at once; an index out of range throws AppError 9.
namespace ConvertOptions {

// optSampleRate(0..6) in order.
constexpr std::array<qint32, 7> SampleRates{6000, 8000, 11025, 16000, 22050, 32000, 44100};

// On opening: the flag follows the bit depth (2 for 8 bits, 0 for 16, else kept).
void ApplyLoadRule(mUtility::SoundInfoRecord& info);

// The option index of `rate`, or -1 when it is not one of SampleRates.
int SampleRateIndex(qint32 rate);

// optSampleRate(index): SampleRate = SampleRates[index].
void ApplySampleRate(mUtility::SoundInfoRecord& info, int index);
// optBitDepth: 0 gives 8 bits and flag 2, 1 gives 16 bits and flag 0.
void ApplyBitDepth(mUtility::SoundInfoRecord& info, int index);
// optChannels: 0 gives 1 channel, 1 gives 2.
void ApplyChannels(mUtility::SoundInfoRecord& info, int index);
// opt8bitFlag as Go applies it when "Set 8-bit Flag" is ticked: 0 ("True")
// gives flag 2, 1 ("False") gives 0.
void ApplyFlagChoice(mUtility::SoundInfoRecord& info, int index);

// The internal ID a field text stands for: leading blanks skipped, the leading
// number read as a decimal (with an optional fraction), rounded half to even,
// limited to the 32-bit range; no number gives 0.
qint32 InternalIDFromText(const QString& text);

}  // namespace ConvertOptions
