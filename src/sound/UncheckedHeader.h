#pragma once

#include <QString>

#include "ByteSource.h"
#include "SoundInfo.h"

namespace mUtility {

// The batch's per-file header read, without range or id checks.
// `extension` "SND" or "WSD" (any case): the six leading game fields replace the
// record's flag, ID, data length, rate, bit depth and channels.
// "WAV": the header image found by WavReader replaces the record's WAV fields
// and DataOffset; flag and ID stay. A WAV without a format and data chunk, or
// whose samples are not integer PCM, throws AppError 5 with the message the
// inspection shows (nothing stored).
// Throws AppError 62 when the file is shorter than its header (nothing stored),
// AppError 5 for another extension, and the open/read error otherwise.
void ReadHeaderUnchecked(const QString& path, const QString& extension, SoundInfoRecord& info);
void ReadHeaderUnchecked(ByteSource& source, const QString& extension, SoundInfoRecord& info);

}  // namespace mUtility
