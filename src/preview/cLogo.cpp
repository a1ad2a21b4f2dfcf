#include "cLogo.h"

#include <QPainter>

#include "PreviewMath.h"
#include "SystemColors.h"
#include "WaveSurface.h"

cLogo::cLogo() : start_(Split(startColor_)), end_(Split(endColor_)) {}

cLogo::Rgb cLogo::Split(quint32 color) {
    const QColor c = zs::TranslateColor(color);
    return {c.red(), c.green(), c.blue()};
}

int cLogo::BandHeight(int hp) {
    return qMax(1, hp / 255);
}

QFont cLogo::CaptionFont(const QFont& surfaceFont, int dpiY) {
    const int dpi = qMax(1, dpiY);
    const double size = surfaceFont.pointSizeF() > 0 ? surfaceFont.pointSizeF()
                                                     : surfaceFont.pixelSize() * 72.0 / dpi;
    const auto points = static_cast<qint64>(PreviewMath::RoundEven(size));
    QFont font(surfaceFont);
    font.setPixelSize(qMax<int>(1, static_cast<int>((points * dpi + 36) / 72)));
    font.setWeight(surfaceFont.bold() ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void cLogo::setStartColor(quint32 color) {
    if (color == startColor_) return;
    startColor_ = color;
    start_ = Split(color);
    if (surface_) Draw();
}

void cLogo::setEndColor(quint32 color) {
    if (color == endColor_) return;
    endColor_ = color;
    end_ = Split(color);
    if (surface_) Draw();
}

void cLogo::Draw() {
    if (!surface_) return;
    const QFont font = CaptionFont(surface_->font(), surface_->logicalDpiY());
    const QColor textColor = surface_->foreColor();
    const QString caption = caption_;
    const Rgb a = start_;
    const Rgb d{end_.r - a.r, end_.g - a.g, end_.b - a.b};
    surface_->PaintPixels([&](QPainter& p, QSize size) {
        const int hp = size.height();
        const int wp = size.width();
        const int s = BandHeight(hp);
        QColor current(a.r, a.g, a.b);
        int bottom = hp;
        for (int y = hp; y >= 0; y -= s) {
            const int top = bottom - s;
            p.fillRect(QRect(0, top, wp, s), current);
            bottom = top;
            auto mix = [&](int from, int delta) {
                return int(PreviewMath::RoundEven(from + double(delta) * (hp - y) / qMax(1, hp)));
            };
            current = QColor(qBound(0, mix(a.r, d.r), 255), qBound(0, mix(a.g, d.g), 255),
                             qBound(0, mix(a.b, d.b), 255));
        }
        p.setFont(font);
        p.setPen(textColor);
        p.translate(0, hp - 16);
        p.rotate(-90);
        p.drawText(QPointF(0, QFontMetricsF(font).ascent()), caption);
    });
}
