#include "ButtonColors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zs::button {

namespace {

// Round half to even, whatever the current rounding mode.
int Nearest(double v) {
    const double floor = std::floor(v);
    const double frac = v - floor;
    int n = static_cast<int>(floor);
    if (frac > 0.5 || (frac == 0.5 && (n % 2) != 0)) ++n;
    return n;
}

int Clamp(int v) { return std::clamp(v, 0, 255); }

double RedOf(Rgb c) { return c & 0xFF; }
double GreenOf(Rgb c) { return (c & 0xFF00) / 255.0; }
double BlueOf(Rgb c) { return (c & 0xFF0000) / 65280.0; }

Rgb ShadeOnce(Rgb c, int delta, unsigned options) {
    int r = (c & 0xFF) + delta;
    int g = Nearest(GreenOf(c) + delta);
    int b = 0;
    if (options & kShadeBlueScaling) {
        const int b0 = Nearest(BlueOf(c));
        b = b0 + (delta * b0) / 192;
    } else {
        b = Nearest(BlueOf(c) + delta);
    }
    r = Clamp(r);
    g = Clamp(g);
    b = Clamp(b);
    if (options & kShadeInvert) {
        r = std::abs(255 - r);
        g = std::abs(255 - g);
        b = std::abs(255 - b);
    }
    return MakeRgb(r, g, b);
}

}  // namespace

QColor ToQColor(Rgb c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

Rgb FromQColor(const QColor& c) { return MakeRgb(c.red(), c.green(), c.blue()); }

Rgb Sh(Rgb c, int delta, unsigned options) {
    const Rgb result = ShadeOnce(c, delta, options);
    if ((options & kShadeAvoidExtremes) && (result == 0 || result == 0xFFFFFF)) {
        return ShadeOnce(c, delta == 0 ? 64 : -delta, options);
    }
    return result;
}

std::vector<Rgb> GradientSequence(Rgb c1, Rgb c2, int n) {
    std::vector<Rgb> out;
    if (n <= 0) return out;
    out.reserve(n);
    out.push_back(c1);
    if (n == 1) return out;
    const double r = RedOf(c1), g = GreenOf(c1), b = BlueOf(c1);
    const double dr = (RedOf(c2) - r) / (n - 1);
    const double dg = (GreenOf(c2) - g) / (n - 1);
    const double db = (BlueOf(c2) - b) / (n - 1);
    for (int i = 1; i < n; ++i) {
        const auto component = [i](double start, double step) {
            return static_cast<int>(std::clamp(start + step * i, 0.0, 255.0));
        };
        out.push_back(MakeRgb(component(r, dr), component(g, dg), component(b, db)));
    }
    return out;
}

GradientBands BandsFor(int extent, int screenExtent) {
    if (extent <= 0) return {};
    if (screenExtent / extent < 4) return {extent / 2, 2};
    return {extent, 1};
}

}  // namespace zs::button
