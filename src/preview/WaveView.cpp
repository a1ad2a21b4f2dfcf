#include "WaveView.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "ZoomMath.h"

namespace {

const QColor kTraces[2] = {QColor(74, 243, 165), QColor(0, 255, 255)};
const QColor kSelection(0, 0, 150);
const QColor kGuide(90, 90, 90);
const QColor kMarker(255, 0, 0);
const QColor kCaption(255, 255, 0);
constexpr int kLaneGap = 3;
constexpr int kLabelPixels = 90;

}  // namespace

WaveView::WaveView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("waveView"));
    setAccessibleName(QStringLiteral("Waveform"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setObjectName(QStringLiteral("waveScroll"));
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) {
        const double step = std::max(1.0, perPixel_);
        if (std::abs(value - first_ / step) >= 1) setView(value * step, perPixel_);
    });
}

void WaveView::setSound(const EditedSound* sound, const WaveSummary* summary, int rate) {
    sound_ = sound;
    summary_ = summary;
    rate_ = std::max(rate, 1);
    selFirst_ = std::min(selFirst_, frames() - 1);
    selLast_ = std::min(selLast_, frames() - 1);
    if (fitted_)
        fit();
    else
        setView(first_, perPixel_);
}

QRect WaveView::lanes() const {
    return QRect(0, kRuler, width(), height() - kRuler - scroll_->sizeHint().height());
}

void WaveView::resizeEvent(QResizeEvent*) {
    const int h = scroll_->sizeHint().height();
    scroll_->setGeometry(0, height() - h, width(), h);
    if (fitted_)
        fit();
    else
        setView(first_, perPixel_);
}

void WaveView::setView(double first, double perPixel) {
    perPixel_ = std::clamp(perPixel, ZoomMath::kClosest, ZoomMath::FitPerPixel(frames(), width()));
    first_ = ZoomMath::ClampFirst(first, perPixel_, width(), frames());
    fitted_ = perPixel_ >= ZoomMath::FitPerPixel(frames(), width());
    syncScrollBar();
    update();
}

void WaveView::syncScrollBar() {
    const double step = std::max(1.0, perPixel_);
    const double shown = width() * perPixel_;
    const QSignalBlocker block(scroll_);
    scroll_->setRange(0, int(std::max(0.0, (frames() - shown) / step)));
    scroll_->setPageStep(std::max(1, int(shown / step)));
    scroll_->setSingleStep(std::max(1, int(shown / step / 20)));
    scroll_->setValue(int(first_ / step));
}

void WaveView::fit() {
    fitted_ = true;
    setView(0, ZoomMath::FitPerPixel(frames(), width()));
}

void WaveView::zoomAbout(double factor, double x) {
    const double frame = first_ + x * perPixel_;
    const double perPixel = std::clamp(perPixel_ / factor, ZoomMath::kClosest,
                                       ZoomMath::FitPerPixel(frames(), width()));
    setView(ZoomMath::FirstKeeping(frame, x, perPixel), perPixel);
}

void WaveView::zoomCentred(double factor) {
    const double middle =
        hasSelection() ? (selFirst_ + selLast_ + 1) / 2.0 : first_ + width() * perPixel_ / 2;
    const double perPixel = std::clamp(perPixel_ / factor, ZoomMath::kClosest,
                                       ZoomMath::FitPerPixel(frames(), width()));
    setView(middle - width() * perPixel / 2, perPixel);
}

void WaveView::zoomToSelection() {
    if (!hasSelection()) return;
    const double count = double(selLast_ - selFirst_ + 1);
    setView(selFirst_, count / std::max(width(), 1));
}

void WaveView::setSelection(qint64 first, qint64 last) {
    first = std::max<qint64>(first, 0);
    last = std::min(last, frames() - 1);
    if (first == selFirst_ && last == selLast_) return;
    selFirst_ = first;
    selLast_ = last;
    update();
    emit selectionChanged();
}

void WaveView::setMarker(qint64 frame) {
    if (frame == marker_) return;
    marker_ = frame;
    update();
    if (frame >= 0) emit positionShown(frame);
}

int WaveView::columnOf(double frame) const {
    return int(std::floor(ZoomMath::XOf(frame, first_, perPixel_)));
}

qint64 WaveView::frameAt(double x) const {
    return ZoomMath::FrameAt(x, first_, perPixel_, frames());
}

// ---- painting ----

void WaveView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!sound_ || frames() == 0) return;
    const QRect all = lanes();
    if (hasSelection()) {
        const int x0 = columnOf(double(selFirst_));
        const int x1 = columnOf(double(selLast_ + 1));
        p.fillRect(QRect(x0, all.top(), std::max(1, x1 - x0), all.height()), kSelection);
    }
    const int channels = sound_->Format().channels;
    const int gap = channels > 1 ? kLaneGap : 0;
    const int height = (all.height() - gap * (channels - 1)) / channels;
    for (int c = 0; c < channels; ++c) {
        const QRect lane(all.left(), all.top() + c * (height + gap), all.width(), height);
        paintLane(p, c, lane);
        if (c > 0) p.fillRect(QRect(0, lane.top() - gap, width(), gap), palette().window());
        p.setPen(kCaption);
        p.drawText(lane.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                   channels == 1 ? QStringLiteral("Single Channel")
                   : c == 0      ? QStringLiteral("Left")
                                 : QStringLiteral("Right"));
    }
    paintRuler(p);
    if (marker_ >= 0) {
        const int x = columnOf(double(marker_));
        p.setPen(kMarker);
        p.drawLine(x, all.top(), x, all.bottom());
    }
}

void WaveView::paintRuler(QPainter& p) {
    p.fillRect(0, 0, width(), kRuler, palette().window());
    p.setPen(palette().windowText().color());
    const double step = ZoomMath::RulerStep(perPixel_, rate_, kLabelPixels);
    const int decimals = std::max(0, int(std::ceil(-std::log10(step) - 1e-9)));
    // Each label at a whole multiple of the step, so that no error adds up.
    const qint64 to = qint64(std::ceil((first_ + width() * perPixel_) / rate_ / step));
    for (qint64 k = qint64(std::floor(first_ / rate_ / step)); k <= to; ++k) {
        const int x = columnOf(k * step * rate_);
        if (x < 0) continue;
        p.drawLine(x, kRuler - 6, x, kRuler - 1);
        p.drawText(QPointF(x + 2, kRuler - 6), QString::number(k * step, 'f', decimals) + 's');
    }
    p.drawLine(0, kRuler - 1, width(), kRuler - 1);
}

void WaveView::paintLane(QPainter& p, int channel, const QRect& lane) {
    const double mid = lane.top() + lane.height() / 2.0;
    p.setPen(kGuide);
    p.drawLine(QPointF(0, mid), QPointF(lane.width(), mid));
    if (perPixel_ < 1) return paintSteps(p, channel, lane);
    const double scale = (lane.height() / 2.0 - 1) / sound_->Format().FullScale();
    p.setPen(kTraces[channel]);
    for (int x = 0; x < lane.width(); ++x) {
        const qint64 from = qint64(std::floor(first_ + x * perPixel_));
        const qint64 to = qint64(std::floor(first_ + (x + 1) * perPixel_));
        if (from >= frames()) break;
        const WaveSummary::Range r = summary_->Span(*sound_, channel, from, std::max(to, from + 1));
        p.drawLine(QPointF(x + 0.5, mid - r.max * scale), QPointF(x + 0.5, mid - r.min * scale));
    }
}

// Each frame as a level step across its pixels, joined to the next.
void WaveView::paintSteps(QPainter& p, int channel, const QRect& lane) {
    const double mid = lane.top() + lane.height() / 2.0;
    const double scale = (lane.height() / 2.0 - 1) / sound_->Format().FullScale();
    const qint64 from = qint64(std::floor(first_));
    const qint64 count = std::min(frames() - from, qint64(lane.width() * perPixel_) + 2);
    const int ch = sound_->Format().channels;
    std::vector<qint16> v(size_t(count * ch));
    sound_->Read(from, count, v.data());
    p.setPen(QPen(kTraces[channel], 1));
    double lastY = 0;
    for (qint64 i = 0; i < count; ++i) {
        const double x0 = ZoomMath::XOf(from + i, first_, perPixel_);
        const double x1 = x0 + 1 / perPixel_;
        const double y = mid - v[size_t(i * ch + channel)] * scale;
        if (i > 0) p.drawLine(QPointF(x0, lastY), QPointF(x0, y));
        p.drawLine(QPointF(x0, y), QPointF(x1, y));
        p.fillRect(QRectF(x0 - 1, y - 1, 3, 3), kTraces[channel]);
        lastY = y;
    }
}

// ---- input ----

void WaveView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !sound_) return;
    const qint64 f = frameAt(e->position().x());
    if (!(e->modifiers() & Qt::ShiftModifier) || anchor_ < 0) anchor_ = f;
    if (e->modifiers() & Qt::ShiftModifier)
        setSelection(std::min(anchor_, f), std::max(anchor_, f));
    else
        setSelection(0, -1);
    emit positionShown(f);
}

void WaveView::mouseMoveEvent(QMouseEvent* e) {
    if (!sound_) return;
    const qint64 f = frameAt(e->position().x());
    if ((e->buttons() & Qt::LeftButton) && anchor_ >= 0 && f != anchor_)
        setSelection(std::min(anchor_, f), std::max(anchor_, f));
    emit positionShown(f);
}

void WaveView::mouseReleaseEvent(QMouseEvent*) {}

void WaveView::wheelEvent(QWheelEvent* e) {
    const double steps = e->angleDelta().y() / 120.0;
    if (e->modifiers() & Qt::ControlModifier)
        zoomAbout(std::pow(1.25, steps), e->position().x());
    else
        setView(first_ - steps * width() * perPixel_ / 10, perPixel_);
    e->accept();
}

void WaveView::moveEdge(bool end, qint64 by) {
    if (!hasSelection()) return;
    qint64 first = selFirst_, last = selLast_;
    if (end)
        last = std::clamp(last + by, first, frames() - 1);
    else
        first = std::clamp(first + by, qint64(0), last);
    setSelection(first, last);
}

void WaveView::keyPressEvent(QKeyEvent* e) {
    const qint64 step = std::max<qint64>(1, qint64(perPixel_));
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (e->key() == Qt::Key_Plus || e->key() == Qt::Key_Equal)
        zoomCentred(2);
    else if (e->key() == Qt::Key_Minus)
        zoomCentred(0.5);
    else if (shift && e->key() == Qt::Key_Left)
        moveEdge(!ctrl, -step);
    else if (shift && e->key() == Qt::Key_Right)
        moveEdge(!ctrl, step);
    else
        return QWidget::keyPressEvent(e);
}
