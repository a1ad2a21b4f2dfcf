#include "ZoomMath.h"

#include <algorithm>
#include <cmath>

namespace ZoomMath {

qint64 FrameAt(double x, double first, double perPixel, qint64 frames) {
    const qint64 f = qint64(std::floor(first + x * perPixel));
    return std::clamp<qint64>(f, 0, std::max<qint64>(0, frames - 1));
}

double XOf(double frame, double first, double perPixel) {
    return (frame - first) / perPixel;
}

double FitPerPixel(qint64 frames, int width) {
    return std::max(kClosest, double(std::max<qint64>(frames, 1)) / std::max(width, 1));
}

double ClampFirst(double first, double perPixel, int width, qint64 frames) {
    const double last = double(frames) - width * perPixel;
    return std::max(0.0, std::min(first, last));
}

double FirstKeeping(double frame, double x, double perPixel) {
    return frame - x * perPixel;
}

double RulerStep(double perPixel, int rate, int minPixels) {
    const double minSeconds = minPixels * perPixel / std::max(rate, 1);
    double step = std::pow(10.0, std::floor(std::log10(std::max(minSeconds, 1e-9))));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (step * factor >= minSeconds) return step * factor;
    return step * 10;
}

}  // namespace ZoomMath
