#pragma once

#include <QString>
#include <QtGlobal>

namespace zs {

// A menu handle: 0 means no menu. Handles and command IDs share one number
// space in the owner's eyes (a sub-menu item's ID is its sub-menu's handle).
using MenuHandle = quint32;

// Item kind and state flags taken by AppendMenu/ModifyMenu and reported by
// GetMenuItemInfo.
namespace MenuFlag {
constexpr quint32 Grayed = 0x1;
constexpr quint32 Disabled = 0x2;
constexpr quint32 Checked = 0x8;
constexpr quint32 Popup = 0x10;         // the ID argument is a sub-menu handle
constexpr quint32 MenuBarBreak = 0x20;  // column break (recorded; QMenu lays out one column)
constexpr quint32 MenuBreak = 0x40;     // break (recorded; QMenu lays out one column)
constexpr quint32 OwnerDraw = 0x100;    // the owner measures and draws the item
constexpr quint32 Separator = 0x800;    // not selectable
}  // namespace MenuFlag

// Flags of TrackPopupMenuEx.
namespace TrackFlag {
constexpr quint32 Vertical = 0x40;  // keep clear of the exclusion rectangle vertically first
constexpr quint32 ReturnCmd = 0x100;
constexpr quint32 NoAnimation = 0x4000;
}  // namespace TrackFlag

// State bits of a draw-item request.
namespace DrawState {
constexpr quint32 Selected = 0x1;
constexpr quint32 Grayed = 0x2;
constexpr quint32 Disabled = 0x4;
constexpr quint32 Checked = 0x8;
}  // namespace DrawState

// GetMenuItemID's answer for a sub-menu item or a bad position.
constexpr quint32 kNoMenuItemID = 0xFFFFFFFFu;

struct MenuItemInfo {
    quint32 flags = 0;       // MenuFlag bits
    quint32 id = 0;          // command ID, or the sub-menu handle of a sub-menu item
    MenuHandle subMenu = 0;  // 0 unless the item opens a sub-menu
    qintptr itemData = 0;
    QString text;  // caption with its "&" marker, "" for a separator
};

}  // namespace zs
