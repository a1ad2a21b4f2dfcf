#include "ImportTarget.h"

#include <algorithm>

#include "ConvertOptions.h"

int ImportTarget::DefaultRate(int sourceRate) {
    int rate = ConvertOptions::SampleRates.front();
    for (const int r : ConvertOptions::SampleRates)
        if (r <= sourceRate) rate = r;
    return rate;
}

ImportTarget ImportTarget::DefaultFor(const SourceFacts& source, const QString& type) {
    ImportTarget t;
    t.Type = type.toUpper();
    t.Rate = DefaultRate(source.Rate);
    t.Bits = 16;
    t.Channels = std::clamp(source.Channels, 1, 2);
    t.EightBitFlag = FlagForBits(t.Bits);
    t.InternalID = 0;
    return t;
}

void ImportTarget::TakeLike(const mUtility::SoundInfoRecord& like) {
    Rate = like.SampleRate;
    Bits = like.BitsPerSample;
    Channels = like.Channels;
    EightBitFlag = like.EightBitFlag;
    InternalID = like.InternalID;
}
