#include "ConvertOptions.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "AppError.h"

namespace ConvertOptions {

namespace {

void CheckIndex(int index, int count) {
    if (index < 0 || index >= count)
        throw AppError::Standard(ErrNo::SubscriptOutOfRange,
                                 QStringLiteral("option %1").arg(index));
}

}  // namespace

void ApplyLoadRule(mUtility::SoundInfoRecord& info) {
    if (info.BitsPerSample == 8) info.EightBitFlag = 2;
    if (info.BitsPerSample == 16) info.EightBitFlag = 0;
}

int SampleRateIndex(qint32 rate) {
    for (int i = 0; i < static_cast<int>(SampleRates.size()); ++i)
        if (SampleRates[i] == rate) return i;
    return -1;
}

void ApplySampleRate(mUtility::SoundInfoRecord& info, int index) {
    CheckIndex(index, static_cast<int>(SampleRates.size()));
    info.SampleRate = SampleRates[index];
}

void ApplyBitDepth(mUtility::SoundInfoRecord& info, int index) {
    CheckIndex(index, 2);
    info.BitsPerSample = index == 0 ? 8 : 16;
    info.EightBitFlag = index == 0 ? 2 : 0;
}

void ApplyChannels(mUtility::SoundInfoRecord& info, int index) {
    CheckIndex(index, 2);
    info.Channels = static_cast<qint16>(index + 1);
}

void ApplyFlagChoice(mUtility::SoundInfoRecord& info, int index) {
    CheckIndex(index, 2);
    info.EightBitFlag = index == 0 ? 2 : 0;
}

qint32 InternalIDFromText(const QString& text) {
    int i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    double sign = 1;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        sign = text[i++] == QLatin1Char('-') ? -1 : 1;
    double value = 0;
    for (; i < text.size() && text[i].isDigit(); ++i) value = value * 10 + text[i].digitValue();
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        double scale = 0.1;
        for (++i; i < text.size() && text[i].isDigit(); ++i, scale /= 10)
            value += text[i].digitValue() * scale;
    }
    const double rounded = std::nearbyint(sign * value);  // the default mode rounds half to even
    constexpr double lo = std::numeric_limits<qint32>::min();
    constexpr double hi = std::numeric_limits<qint32>::max();
    return static_cast<qint32>(std::clamp(rounded, lo, hi));
}

}  // namespace ConvertOptions
