#pragma once

#include <QString>
#include <QtGlobal>

// The preview's numbers as pure functions: sample counts, the waveform's
// vertical mapping and guide lines, and the position <-> millisecond <-> sample
// mappings of the selection. Positions and widths are in twips.
namespace PreviewMath {

// Nearest integer, ties to even.
qint64 RoundEven(double value);

// Sample frames in `dataLength` bytes; 0 for shapes other than 8/16 bits, 1/2 channels.
qint32 NumSamples(qint32 dataLength, int bits, int channels);

// Guide-line distance for a view of client height h: round(round(h*3/8) / 128) * 128.
int GuideDistance(double h);

// y of a 16-bit sample s, or of an 8-bit byte b, for a view whose centre is mid.
int SampleY16(double mid, int s, int channels);
int SampleY8(double mid, int b, int channels);
// floor(mid + 896) for stereo, floor(mid + 1920) otherwise.
int Base8(double mid, int channels);

// ms(v): time at position v of a view of width w showing `duration` seconds.
qint32 MsAt(double v, double w, double duration);
// sample(v): index of the frame at position v, kept within [0, numSamples - 1].
qint32 SampleAt(double v, double w, qint32 numSamples);

// A number as the selection labels show it: integers plain, fractions with the
// locale's decimal separator, up to 15 significant digits, no trailing zeros.
QString NumberText(double value);
// Reads a label back as a number ("." or the locale's separator).
double TextNumber(const QString& text);

// First letter of each word upper case, the rest lower case.
QString ProperCase(const QString& text);

}  // namespace PreviewMath
