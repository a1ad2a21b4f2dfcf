#include "WaveSurface.h"

#include <QMouseEvent>
#include <QPainter>

#include "InputCodes.h"
#include "Twips.h"

WaveSurface::WaveSurface(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double WaveSurface::TwipsPerPixel() {
    return zs::TwipsPerInch / zs::ScreenDpi();
}

void WaveSurface::setBackColor(const QColor& color) {
    back_ = color;
    Cls();
}

void WaveSurface::setBorder(int px) {
    border_ = px;
    syncImage();
    update();
}

// The client size follows the widget's geometry at once, also before the
// surface is shown (the drawing happens while the window opens).
double WaveSurface::ScaleWidth() const {
    syncImage();
    return image_.width() * TwipsPerPixel();
}
double WaveSurface::ScaleHeight() const {
    syncImage();
    return image_.height() * TwipsPerPixel();
}

void WaveSurface::Cls() {
    image_.fill(back_);
    update();
}

void WaveSurface::preparePainter(QPainter& p, const QColor& color) const {
    const double scale = 1.0 / TwipsPerPixel();
    p.scale(scale, scale);
    QPen pen(color, 0);  // cosmetic: one pixel whatever the scale
    p.setPen(pen);
}

void WaveSurface::Line(QPointF from, QPointF to, const QColor& color) {
    syncImage();
    QPainter p(&image_);
    preparePainter(p, color);
    p.drawLine(from, to);
    update();
}

void WaveSurface::Polyline(const QPolygonF& points, const QColor& color) {
    if (points.isEmpty()) return;
    syncImage();
    QPainter p(&image_);
    preparePainter(p, color);
    if (points.size() == 1)
        p.drawPoint(points.first());
    else
        p.drawPolyline(points);
    update();
}

void WaveSurface::PaintPixels(const std::function<void(QPainter&, QSize)>& paint) {
    syncImage();
    {
        QPainter p(&image_);
        paint(p, image_.size());
    }
    update();
}

void WaveSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (border_ > 0) {
        const QRect r = rect();
        p.fillRect(r, palette().color(QPalette::Mid));
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
    p.drawImage(border_, border_, image());
}

void WaveSurface::resizeEvent(QResizeEvent*) {
    syncImage();
    update();
}

void WaveSurface::syncImage() const {
    const QSize client = size().shrunkBy(QMargins(border_, border_, border_, border_));
    const QSize wanted = client.expandedTo(QSize(1, 1));
    if (image_.size() == wanted) return;
    QImage grown(wanted, QImage::Format_RGB32);
    grown.fill(back_);
    if (!image_.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, image_);
    }
    image_ = grown;
}

void WaveSurface::emitMouse(QMouseEvent* e, void (WaveSurface::*signal)(int, int, double, double),
                            int button) {
    e->accept();
    const QPointF pos = e->position() - QPointF(border_, border_);
    const double t = TwipsPerPixel();
    emit(this->*signal)(button, zs::ShiftCode(e->modifiers()), pos.x() * t, pos.y() * t);
}

void WaveSurface::mousePressEvent(QMouseEvent* e) {
    // A press on the frame is not a press on the drawing.
    const QRect client = rect().marginsRemoved(QMargins(border_, border_, border_, border_));
    if (!client.contains(e->position().toPoint())) {
        e->accept();
        return;
    }
    emitMouse(e, &WaveSurface::MouseDown, zs::ButtonCode(e->button()));
}

void WaveSurface::mouseDoubleClickEvent(QMouseEvent* e) {
    mousePressEvent(e);
}

void WaveSurface::mouseMoveEvent(QMouseEvent* e) {
    emitMouse(e, &WaveSurface::MouseMove, zs::ButtonCode(e->buttons()));
}

void WaveSurface::mouseReleaseEvent(QMouseEvent* e) {
    emitMouse(e, &WaveSurface::MouseUp, zs::ButtonCode(e->button()));
}
