#pragma once

#include <QString>

#include "ImportSource.h"
#include "SoundInfo.h"

// What an import writes: the file type and the header values of the result.
struct ImportTarget {
    QString Type = QStringLiteral("SND");  // "SND", "WSD" or "WAV"
    int Rate = 22050;                      // one of ConvertOptions::SampleRates
    int Bits = 16;                         // 8 (unsigned samples) or 16 (signed)
    int Channels = 1;                      // 1 or 2
    qint32 EightBitFlag = 0;               // game files only
    qint32 InternalID = 0;                 // game files only

    // The defaults for `source`: its rate when it is one of the seven rates,
    // else the nearest below it (6000 for anything slower); 16 bits; its
    // channels, at most 2; the flag following the depth; ID 0.
    static ImportTarget DefaultFor(const SourceFacts& source, const QString& type);

    // Rate, bits, channels, flag and ID of an inspected game file, exactly as
    // it holds them: a replacement keeps the identity of what it replaces.
    void TakeLike(const mUtility::SoundInfoRecord& like);

    // The rate the defaults take for a source of `sourceRate` Hz.
    static int DefaultRate(int sourceRate);

    // The Convert dialog's rule: flag 2 for 8 bits, 0 for 16.
    static qint32 FlagForBits(int bits) { return bits == 8 ? 2 : 0; }
};
