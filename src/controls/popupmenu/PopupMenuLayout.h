#pragma once

#include <QFont>
#include <QList>
#include <QSize>

#include "cPopupMenuItem.h"

// Item sizes of a popup menu, in pixels. B, the base height, is the height of one
// line of the menu font + 2, but at least the icon height - 1.
class PopupMenuLayout {
public:
    struct Options {
        QFont font;
        int base = 0;  // B
        bool office = false;
        bool hideInfrequentlyUsed = false;
    };

    static int BaseHeight(const QFont& font, int iconHeight);
    // Height given to an item when it is added, before the menu is first measured.
    static int AddedHeight(const cPopupMenuItem& item, int base);
    // Visible, and not hidden as infrequently used.
    static bool IsShown(const cPopupMenuItem& item, bool hideInfrequentlyUsed);
    struct Size {
        int height = 0;
        int width = 0;
        int shortcutOffset = 0;
    };
    // The size of items[position], measured together with every item of its menu: they
    // all share the widest caption-plus-shortcut width.
    static Size MeasureItem(const QList<cPopupMenuItem>& items, qsizetype position,
                            const Options& options);
    static QSize ChevronSize() { return {8, 18}; }
    // Where the caption starts, and the width of the icon column, inside an item.
    static int TextLeft(int base) { return base + 6; }
    static int IconColumnWidth(int base) { return base + 4; }

private:
    static int CaptionWidth(const cPopupMenuItem& item, const Options& options);
};
