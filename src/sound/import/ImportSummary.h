#pragma once

#include <QString>

#include "ImportTarget.h"

// What an import does, in one line: the type, then each value that changes
// as "from → to" and each that stays as itself, then the length, for example
// "SND, 48000 → 22050 Hz, stereo → mono, 24 → 16 bit, 3.00 s". `seconds`
// below 0 means the length is not known.
QString ImportSummary(const SourceFacts& source, const ImportTarget& target, double seconds);
