#include "PopupMenuPainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "PopupMenuLayout.h"

namespace {

QRect IconBox(const MenuItemLook& look) {
    return {look.rect.left(), look.rect.top(), PopupMenuLayout::IconColumnWidth(look.base),
            look.rect.height()};
}

int TextFlags(const MenuItemLook& look) {
    return Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine |
           (look.showMnemonic ? Qt::TextShowMnemonic : Qt::TextHideMnemonic);
}

QRect Centered(QSize size, const QRect& box) {
    return {box.left() + (box.width() - size.width()) / 2,
            box.top() + (box.height() - size.height()) / 2, size.width(), size.height()};
}

}  // namespace

void PopupMenuPainter::Paint(QPainter& painter, const MenuItemLook& look) {
    painter.save();
    painter.setClipRect(look.rect);
    PaintBackground(painter, look);
    switch (look.kind) {
        case MenuItemLook::Kind::Separator:
            PaintSeparator(painter, look);
            break;
        case MenuItemLook::Kind::Header:
            PaintHeader(painter, look);
            break;
        case MenuItemLook::Kind::Chevron:
            if (look.selected) PaintHighlight(painter, look, look.rect);
            PaintChevron(painter, look);
            break;
        case MenuItemLook::Kind::Item:
            if (look.selected && look.enabled) PaintHighlight(painter, look, look.rect);
            PaintMarks(painter, look);
            PaintTexts(painter, look);
            if (look.hasSubMenu) PaintSubMenuArrow(painter, look);
            break;
    }
    painter.restore();
}

void PopupMenuPainter::PaintBackground(QPainter& painter, const MenuItemLook& look) {
    painter.fillRect(look.rect, look.background);
    if (!look.backgroundPicture.isNull()) {
        painter.drawTiledPixmap(look.rect, look.backgroundPicture, look.rect.topLeft());
    }
    if (look.office && look.kind != MenuItemLook::Kind::Header) {
        painter.fillRect(IconBox(look), look.iconColumn);
    }
}

void PopupMenuPainter::PaintHighlight(QPainter& painter, const MenuItemLook& look,
                                      const QRect& area) {
    if (!look.office) {
        painter.fillRect(area, look.activeBackground);
        return;
    }
    const QRect inner = area.adjusted(1, 1, -2, -2);
    if (look.buttonHighlight) {
        painter.setPen(look.activeBackground.lighter(130));
        painter.drawLine(inner.topLeft(), inner.topRight());
        painter.drawLine(inner.topLeft(), inner.bottomLeft());
        painter.setPen(look.activeBackground.darker(160));
        painter.drawLine(inner.bottomLeft(), inner.bottomRight());
        painter.drawLine(inner.topRight(), inner.bottomRight());
        return;
    }
    if (look.gradientHighlight) {
        QLinearGradient gradient(inner.topLeft(), inner.bottomLeft());
        gradient.setColorAt(0, look.activeBackground.lighter(115));
        gradient.setColorAt(1, look.activeBackground.darker(110));
        painter.fillRect(inner, gradient);
    } else {
        painter.fillRect(inner, look.activeBackground);
    }
    painter.setPen(look.activeBackground.darker(150));
    painter.drawRect(inner);
}

void PopupMenuPainter::PaintSeparator(QPainter& painter, const MenuItemLook& look) {
    const int y = look.rect.center().y();
    const int left = look.rect.left() + (look.office ? PopupMenuLayout::TextLeft(look.base) : 2);
    painter.setPen(look.disabledForeground);
    painter.drawLine(left, y, look.rect.right() - 2, y);
    if (!look.office) {
        painter.setPen(look.background.lighter(130));
        painter.drawLine(left, y + 1, look.rect.right() - 2, y + 1);
    }
}

void PopupMenuPainter::PaintHeader(QPainter& painter, const MenuItemLook& look) {
    if (look.headerStyle == 0) painter.fillRect(look.rect, look.iconColumn);
    QFont font = look.font;
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(look.foreground);
    const QRect text = look.rect.adjusted(4, 0, -4, 0);
    painter.drawText(text, TextFlags(look), look.caption);
    if (look.headerStyle != 0) {
        painter.setPen(look.disabledForeground);
        painter.drawLine(text.left(), look.rect.bottom(), text.right(), look.rect.bottom());
    }
}

void PopupMenuPainter::PaintChevron(QPainter& painter, const MenuItemLook& look) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(look.foreground, 1.5));
    const QPoint c = look.rect.center();
    for (int dy : {-3, 1}) {
        painter.drawLine(c + QPoint(-3, dy), c + QPoint(0, dy + 3));
        painter.drawLine(c + QPoint(0, dy + 3), c + QPoint(3, dy));
    }
}

void PopupMenuPainter::PaintMarks(QPainter& painter, const MenuItemLook& look) {
    const QRect checkBox = IconBox(look);
    const QRect iconBox =
        look.showCheckAndIcon ? checkBox.translated(checkBox.width(), 0) : checkBox;
    const bool hasIcon = !look.icon.isNull();
    if (look.checked && look.highlightChecked && look.office) {
        const QRect frame = (hasIcon ? iconBox : checkBox).adjusted(1, 1, -2, -2);
        painter.fillRect(frame, look.activeBackground.lighter(110));
        painter.setPen(look.activeBackground.darker(150));
        painter.drawRect(frame);
    }
    if (look.checked && (!hasIcon || look.showCheckAndIcon))
        PaintCheckGlyph(painter, checkBox, look);
    if (!hasIcon) return;
    const QSize size(16, 16);
    const QRect target = Centered(size, iconBox);
    if (!look.enabled) {
        look.icon.paint(&painter, target, Qt::AlignCenter, QIcon::Disabled);
    } else if (look.selected && look.imageProcessHighlights) {
        // A raised icon: its shadow below right, the icon itself lifted up left.
        look.icon.paint(&painter, target.translated(1, 1), Qt::AlignCenter, QIcon::Disabled);
        look.icon.paint(&painter, target.translated(-1, -1), Qt::AlignCenter, QIcon::Normal);
    } else {
        look.icon.paint(&painter, target, Qt::AlignCenter, QIcon::Normal);
    }
}

void PopupMenuPainter::PaintCheckGlyph(QPainter& painter, const QRect& box,
                                       const MenuItemLook& look) {
    const QIcon& custom = look.radio ? look.optionIcon : look.tickIcon;
    if (!custom.isNull()) {
        custom.paint(&painter, Centered(QSize(16, 16), box), Qt::AlignCenter,
                     look.enabled ? QIcon::Normal : QIcon::Disabled);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = TextColor(look);
    const QPointF c = QRectF(box).center();
    if (look.radio) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(c, 3.0, 3.0);
        return;
    }
    QPainterPath tick;
    tick.moveTo(c + QPointF(-4, 0));
    tick.lineTo(c + QPointF(-1, 3));
    tick.lineTo(c + QPointF(4, -3));
    painter.setPen(QPen(color, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
}

void PopupMenuPainter::PaintTexts(QPainter& painter, const MenuItemLook& look) {
    QFont font = look.font;
    font.setBold(look.isDefault || font.bold());
    painter.setFont(font);
    painter.setPen(TextColor(look));
    const int textLeft = look.rect.left() + PopupMenuLayout::TextLeft(look.base);
    const int captionLeft = textLeft + (look.showCheckAndIcon ? look.base + 4 : 0);
    painter.drawText(QRect(captionLeft, look.rect.top(), look.rect.right() - captionLeft - 4,
                           look.rect.height()),
                     TextFlags(look), look.caption);
    if (look.shortcutText.isEmpty()) return;
    painter.setFont(look.font);
    const int left = textLeft + look.shortcutOffset;
    painter.drawText(QRect(left, look.rect.top(), look.rect.right() - left, look.rect.height()),
                     Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, look.shortcutText);
}

void PopupMenuPainter::PaintSubMenuArrow(QPainter& painter, const MenuItemLook& look) {
    const int x = look.rect.right() - 7;
    const int y = look.rect.center().y();
    const QPoint arrow[3] = {{x, y - 4}, {x + 4, y}, {x, y + 4}};
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(TextColor(look));
    painter.drawPolygon(arrow, 3);
}

QColor PopupMenuPainter::TextColor(const MenuItemLook& look) {
    if (!look.enabled) return look.disabledForeground;
    return look.selected ? look.activeForeground : look.foreground;
}
