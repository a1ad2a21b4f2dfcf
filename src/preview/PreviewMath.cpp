#include "PreviewMath.h"

#include <QLocale>
#include <QStringList>
#include <cfenv>
#include <cmath>

namespace PreviewMath {

qint64 RoundEven(double value) {
    // The default floating-point rounding mode rounds ties to even.
    return static_cast<qint64>(std::nearbyint(value));
}

qint32 NumSamples(qint32 dataLength, int bits, int channels) {
    const int frameBytes = bits / 8 * channels;
    if ((bits != 8 && bits != 16) || (channels != 1 && channels != 2)) return 0;
    if (frameBytes == 1) return dataLength;
    return static_cast<qint32>(RoundEven(static_cast<double>(dataLength) / frameBytes));
}

int GuideDistance(double h) {
    const double p = static_cast<double>(RoundEven(h * 3.0 / 8.0));
    return static_cast<int>(RoundEven(p / 128.0) * 128);
}

int SampleY16(double mid, int s, int channels) {
    return static_cast<int>(RoundEven(mid - s / (channels == 2 ? 35.0 : 17.0)));
}

int Base8(double mid, int channels) {
    return static_cast<int>(std::floor(mid + (channels == 2 ? 896.0 : 1920.0)));
}

int SampleY8(double mid, int b, int channels) {
    return Base8(mid, channels) - (channels == 2 ? 7 : 15) * b;
}

qint32 MsAt(double v, double w, double duration) {
    if (w <= 0) return 0;
    return static_cast<qint32>(RoundEven(v * duration * 1000.0 / w));
}

qint32 SampleAt(double v, double w, qint32 numSamples) {
    if (w <= 0 || numSamples <= 0) return 0;
    const double index = std::floor((numSamples - 1) * v / w);
    return static_cast<qint32>(qBound(0.0, index, static_cast<double>(numSamples - 1)));
}

QString NumberText(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    QString text = QString::number(value, 'g', 15);
    if (text.contains(u'e')) text = QString::number(value, 'f', 15);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0')) text.chop(1);
        if (text.endsWith(u'.')) text.chop(1);
    }
    return text.replace(u'.', QLocale().decimalPoint());
}

double TextNumber(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLocale().decimalPoint(), QStringLiteral("."));
    return t.toDouble();
}

QString ProperCase(const QString& text) {
    QString out = text.toLower();
    bool start = true;
    for (QChar& c : out) {
        if (start && c.isLetter()) c = c.toUpper();
        start = c.isSpace();
    }
    return out;
}

}  // namespace PreviewMath
