#include "MarkerLine.h"

#include <QPainter>

#include "Twips.h"

MarkerLine::MarkerLine(const QString& name, const QColor& color, double y1, double y2, int border,
                       QWidget* parent)
    : QWidget(parent), color_(color), y1_(y1), y2_(y2), border_(border) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void MarkerLine::MoveTo(double x) {
    x_ = x;
    const int px = zs::TwipsToPixels(qRound(x));
    const int top = zs::TwipsToPixels(qRound(y1_));
    const int bottom = zs::TwipsToPixels(qRound(y2_));
    setGeometry(border_ + px - 1, border_ + top, 2, qMax(1, bottom - top));
}

void MarkerLine::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), color_);
}
