#pragma once

#include <QString>

#include "ByteSource.h"
#include "SoundInfo.h"

namespace mUtility {

// The batch's per-file header read, without range or id checks.
// `extension` "SND" or "WSD" (any case): the six leading game fields replace the
// record's flag, ID, data length, rate, bit depth and channels.
// "WAV": the 44-byte image replaces the record's WAV fields; flag and ID stay.
// Throws AppError 62 when the file is shorter than its header (nothing stored),
// AppError 5 for another extension, and the open/read error otherwise.
void ReadHeaderUnchecked(const QString& path, const QString& extension, SoundInfoRecord& info);
void ReadHeaderUnchecked(ByteSource& source, const QString& extension, SoundInfoRecord& info);

}  // namespace mUtility
