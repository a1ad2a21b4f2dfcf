#pragma once

#include <QString>

#include "MenuTypes.h"

// One item of a cPopupMenu, as the caller described it and as it was last measured.
struct cPopupMenuItem {
    QString HelpText;
    QString RawCaption;    // as the caller passed it
    QString Caption;       // shown text with "&" markers
    QString Accelerator;   // upper-case character after the first "&", or ""
    QString ShortcutText;  // text after the tab, trimmed
    quint16 ShortcutKey = 0;
    int ShortcutModifiers = 0;  // ShortcutModifier flags
    quint32 MenuID = 0;         // command ID, or the sub-menu handle once it holds one
    qintptr ItemData = 0;
    zs::MenuHandle ParentMenu = 0;  // the menu that holds the item
    zs::MenuHandle SubMenu = 0;     // the menu it opens, 0 for none
    int IconIndex = -1;
    bool Checked = false;
    bool Enabled = true;
    int Height = 0;  // pixels
    int Width = 0;   // pixels
    int ShortcutOffset = 0;
    QString Key;
    int ParentIndex = 0;  // 1-based index of the item whose sub-menu holds this one; 0 for none
    bool Header = false;
    bool Default = false;
    bool OwnerDraw = false;
    bool ColumnBreak = false;
    bool Break = false;
    bool Visible = true;
    bool InfrequentlyUsed = false;
    bool RedisplayOnClick = false;
    bool ShowCheckAndIcon = false;
    bool RadioCheck = false;

    bool IsSeparator() const { return RawCaption == QLatin1String("-"); }
    // Drawn as a line or a title: never chosen.
    bool IsInert() const { return RawCaption.startsWith(QLatin1Char('-')); }
};
