#pragma once

#include <QColor>
#include <QtGlobal>
#include <vector>

// Colour arithmetic of the gradient button. Colours here are resolved RGB
// values packed as red + 256 * green + 65536 * blue (red in the low byte);
// a negative value means "no colour" (an edge that is not drawn, or the
// caption's normal colour).
namespace zs::button {

using Rgb = qint32;
constexpr Rgb kNoColor = -1;

constexpr Rgb MakeRgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// The packed value as a QColor (opaque). Precondition: c >= 0.
QColor ToQColor(Rgb c);
// A QColor packed; alpha is dropped.
Rgb FromQColor(const QColor& c);

enum ShadeOption : unsigned {
    kShadePlain = 0,
    kShadeBlueScaling = 1,  // blue moves in proportion to its own level
    kShadeAvoidExtremes = 2,  // never return pure black or pure white
    kShadeInvert = 4,       // each component becomes |255 - component|
};

// The shading function every derived colour of the button comes from: adds
// delta to each component of c. Green and blue are read through divisions by
// 255 and 65280 (not 256), so a full component comes out one step above its
// byte value before clamping; halves round to even.
// Example: Sh(0xFFFFFF, -32) == MakeRgb(223, 224, 224).
Rgb Sh(Rgb c, int delta, unsigned options = kShadePlain);
// Sh with blue scaling.
inline Rgb Shb(Rgb c, int delta) { return Sh(c, delta, kShadeBlueScaling); }

// The colours of an n-element gradient from c1 to c2: element 0 is c1 and
// each component advances by (c2 - c1) / (n - 1), truncated per element.
// n <= 0 gives an empty list, n == 1 just c1.
std::vector<Rgb> GradientSequence(Rgb c1, Rgb c2, int n);

// Number of bands and their thickness for a gradient across `extent` pixels
// on a screen `screenExtent` pixels wide in that direction: 1-pixel bands,
// except 2-pixel bands (and half as many) when the button is more than a
// quarter of the screen.
struct GradientBands {
    int count = 0;
    int thickness = 1;
};
GradientBands BandsFor(int extent, int screenExtent);

}  // namespace zs::button
