#pragma once

namespace zs {

// 1440 twips per inch. Without an explicit dpi the logical DPI of the primary
// screen is used (96, that is 15 twips per pixel, when there is no screen).
// Results are rounded to the nearest whole unit.
constexpr int TwipsPerInch = 1440;

double ScreenDpi();
int TwipsToPixels(int twips);
int TwipsToPixels(int twips, double dpi);
int PixelsToTwips(int px);
int PixelsToTwips(int px, double dpi);

}  // namespace zs
