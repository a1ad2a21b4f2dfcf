#include "ControlIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <functional>

namespace zs::designer {

namespace {

// An icon drawn by `paint` on a 22 x 22 canvas, also at twice the size.
QIcon Drawn(const std::function<void(QPainter&)>& paint) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(22 * scale, 22 * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        paint(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon ButtonIcon() {
    return Drawn([](QPainter& p) {
        QLinearGradient face(0, 5, 0, 17);
        face.setColorAt(0, QColor(0x9d, 0xc4, 0xf5));
        face.setColorAt(1, QColor(0x2f, 0x6f, 0xd6));
        p.setPen(QPen(QColor(0x17, 0x30, 0x6e), 1));
        p.setBrush(face);
        p.drawRoundedRect(QRectF(1.5, 5.5, 19, 11), 3, 3);
        p.setPen(QPen(Qt::white, 1.5));
        p.drawLine(QPointF(7, 11), QPointF(15, 11));
    });
}

QIcon MaskEditIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 5.5, 19, 11));
        // Two filled positions, a literal, two prompts: "##-__".
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x17, 0x30, 0x6e));
        p.drawRect(QRectF(4, 8, 2.5, 6));
        p.drawRect(QRectF(7.5, 8, 2.5, 6));
        p.drawRect(QRectF(11, 10.5, 1.5, 1));
        p.setBrush(QColor(0x90, 0x90, 0x90));
        p.drawRect(QRectF(13.5, 13, 2.5, 1));
        p.drawRect(QRectF(17, 13, 2.5, 1));
    });
}

}  // namespace zs::designer
