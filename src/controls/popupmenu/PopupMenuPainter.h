#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>

class QPainter;

// Everything needed to paint one popup-menu item; no widget involved.
struct MenuItemLook {
    enum class Kind { Item, Separator, Header, Chevron };
    Kind kind = Kind::Item;
    QRect rect;
    int base = 16;  // B: icon column and text positions derive from it
    QString caption;
    QString shortcutText;
    int shortcutOffset = 0;  // from the caption's start
    QIcon icon;              // null for none
    QIcon tickIcon;          // drawn for a check mark when set
    QIcon optionIcon;        // drawn for a radio mark when set
    QFont font;
    bool selected = false;
    bool enabled = true;
    bool checked = false;
    bool radio = false;
    bool isDefault = false;
    bool hasSubMenu = false;  // drawn with an arrow at the right edge
    bool showCheckAndIcon = false;
    bool showMnemonic = true;
    bool office = false;
    bool gradientHighlight = false;
    bool buttonHighlight = false;
    bool highlightChecked = true;
    bool imageProcessHighlights = false;
    int headerStyle = 0;  // 0: shaded band, 1: underlined title
    QColor background;
    QColor iconColumn;
    QColor foreground;
    QColor disabledForeground;
    QColor activeForeground;
    QColor activeBackground;
    QPixmap backgroundPicture;
};

// Paints popup-menu items in an office-style or a classic look, inside look.rect.
class PopupMenuPainter {
public:
    static void Paint(QPainter& painter, const MenuItemLook& look);

private:
    static void PaintBackground(QPainter& painter, const MenuItemLook& look);
    static void PaintHighlight(QPainter& painter, const MenuItemLook& look, const QRect& area);
    static void PaintSeparator(QPainter& painter, const MenuItemLook& look);
    static void PaintHeader(QPainter& painter, const MenuItemLook& look);
    static void PaintChevron(QPainter& painter, const MenuItemLook& look);
    static void PaintMarks(QPainter& painter, const MenuItemLook& look);
    static void PaintCheckGlyph(QPainter& painter, const QRect& box, const MenuItemLook& look);
    static void PaintTexts(QPainter& painter, const MenuItemLook& look);
    static void PaintSubMenuArrow(QPainter& painter, const MenuItemLook& look);
    static QColor TextColor(const MenuItemLook& look);
};
