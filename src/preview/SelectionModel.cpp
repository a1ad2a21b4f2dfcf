#include "SelectionModel.h"

#include <cmath>

#include "PreviewMath.h"

using namespace PreviewMath;

namespace {
constexpr double kEdgeGrab = 50;     // reach of a right press outside an edge
constexpr double kMinWidth = 50;     // narrowest window an edge drag leaves
constexpr double kNarrowOuter = 40;  // narrower windows cannot be grabbed from outside
constexpr double kNarrowInner = 100;
}  // namespace

void SelectionModel::Reset(double viewWidth, double duration, qint32 numSamples) {
    *this = SelectionModel();
    w_ = viewWidth;
    duration_ = duration;
    numSamples_ = numSamples;
    lEndMs = static_cast<qint32>(std::floor(duration * 1000));
}

void SelectionModel::NewSelection(double x) {
    left_ = {x, 0, true};
    lStartMs = MsAt(x, w_, duration_);
    lEndMs = static_cast<qint32>(RoundEven(duration_ * 1000));
    lblTimeBegin = NumberText(lStartMs / 1000.0);
    lblTimeEnd = NumberText(lEndMs / 1000.0);
    updateTimeTotal();
    lblSampBegin = NumberText(SampleAt(x, w_, numSamples_));
    lblSampEnd = NumberText(qMax(0, numSamples_ - 1));
    updateSampTotal();
}

void SelectionModel::DragEnd(double x) {
    if (!left_.visible || !(left_.left < x && x <= w_)) return;
    left_.width = x - left_.left;
    setEnd(x);
}

void SelectionModel::GrabFromOutside(double x) {
    if (left_.width < kNarrowOuter) return;
    const double right = left_.left + left_.width;
    if (left_.left - kEdgeGrab < x && x < left_.left) {
        grabLeft();
    } else if (right < x && x < right + kEdgeGrab) {
        sizing = true;
        bDragRightEdge = true;
    }
}

void SelectionModel::GrabFromInside(double x) {
    const double right = left_.left + left_.width;
    if (left_.width >= kNarrowInner) {
        if (x - left_.left < kEdgeGrab)
            grabLeft();
        else if (right - x < kNarrowInner) {
            sizing = true;
            bDragRightEdge = true;
        }
        return;
    }
    sizing = true;
    if (x - left_.left < left_.width / 3)
        grabLeft();
    else
        bDragRightEdge = true;
}

void SelectionModel::DragEdge(double x) {
    if (x == iLastDragX) return;
    if (bDragLeftEdge) {
        // The edge stops at the start of the view, so the window and the times
        // it stands for never part company.
        const double to = qMax(0.0, x);
        ShadeArea(to);
        iLastDragX = static_cast<qint16>(qBound(qint64(-32768), RoundEven(x), qint64(32767)));
        setStart(left_.left);
    } else if (bDragRightEdge && x - left_.left > kMinWidth && x <= w_) {
        left_.width = x - left_.left;
        setEnd(x);
    }
}

void SelectionModel::Release() {
    sizing = false;
    bDragLeftEdge = false;
    bDragRightEdge = false;
}

bool SelectionModel::ShadeArea(double x) {
    const double anchor = lAnchorWidth + lAnchorLeft;
    if (anchor - x < kMinWidth) return false;
    left_.left = x;
    left_.width = anchor - x;
    return true;
}

void SelectionModel::grabLeft() {
    sizing = true;
    bDragLeftEdge = true;
    lAnchorWidth = static_cast<qint32>(RoundEven(left_.width));
    lAnchorLeft = static_cast<qint32>(RoundEven(left_.left));
}

void SelectionModel::setStart(double v) {
    lStartMs = MsAt(v, w_, duration_);
    lblTimeBegin = NumberText(lStartMs / 1000.0);
    updateTimeTotal();
    lblSampBegin = NumberText(SampleAt(v, w_, numSamples_));
    updateSampTotal();
}

void SelectionModel::setEnd(double v) {
    lEndMs = MsAt(v, w_, duration_);
    lblTimeEnd = NumberText(lEndMs / 1000.0);
    updateTimeTotal();
    lblSampEnd = NumberText(SampleAt(v, w_, numSamples_));
    updateSampTotal();
}

void SelectionModel::updateTimeTotal() {
    lblTimeTotal = NumberText((lEndMs - lStartMs) / 1000.0);
}

void SelectionModel::updateSampTotal() {
    lblSampTotal = NumberText(TextNumber(lblSampEnd) - TextNumber(lblSampBegin) + 1);
}
