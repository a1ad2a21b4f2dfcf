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
    // Measures every item that menu holds, storing Height, Width and ShortcutOffset in
    // each: all of them share the widest caption-plus-shortcut width.
    static void MeasureMenu(QList<cPopupMenuItem>& items, zs::MenuHandle menu,
                            const Options& options);
    static QSize ChevronSize() { return {8, 18}; }
    // Where the caption starts, and the width of the icon column, inside an item.
    static int TextLeft(int base) { return base + 6; }
    static int IconColumnWidth(int base) { return base + 4; }

private:
    static int CaptionWidth(const cPopupMenuItem& item, const Options& options);
};
