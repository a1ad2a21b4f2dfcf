#pragma once

#include <QtGlobal>

// The zoomable view's mapping between pixels and frames as pure functions.
// A view shows frames from `first` (a fraction allowed) at `perPixel` frames
// per pixel; below 1 a frame spans several pixels.
namespace ZoomMath {

// The closest zoom: one frame spans 16 pixels.
constexpr double kClosest = 1.0 / 16;

// The frame under pixel column x (rounded down, within [0, frames - 1]).
qint64 FrameAt(double x, double first, double perPixel, qint64 frames);
// The pixel where `frame` begins.
double XOf(double frame, double first, double perPixel);
// Frames per pixel that show the whole sound in `width` pixels.
double FitPerPixel(qint64 frames, int width);
// `first` kept so that the view stays within the sound.
double ClampFirst(double first, double perPixel, int width, qint64 frames);
// The first frame after zooming to `perPixel` so that `frame` stays at pixel x.
double FirstKeeping(double frame, double x, double perPixel);
// Seconds between ruler labels: the smallest of 1, 2, 5 x 10^k that leaves at
// least `minPixels` between labels.
double RulerStep(double perPixel, int rate, int minPixels);

}  // namespace ZoomMath
