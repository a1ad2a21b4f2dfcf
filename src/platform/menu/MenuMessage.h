#pragma once

#include <QChar>
#include <QRect>
#include <QSize>

#include "MenuTypes.h"

class QPainter;

namespace zs {

enum class MenuMessageType {
    EnterMenuLoop,    // sent by the caller of TrackPopupMenuEx
    ExitMenuLoop,     // sent by the caller of TrackPopupMenuEx
    MeasureItem,      // owner-drawn item: answer size (pre-filled with a text-based guess)
    DrawItem,         // owner-drawn item: paint within rect with painter
    MenuSelect,       // an item was highlighted, or (closing) the menu closed
    InitMenuPopup,    // a menu is about to open
    UninitMenuPopup,  // a menu has closed
    MenuChar,         // a typed character: answer charAction and charPosition
    Command,          // a chosen item whose choice was posted, not returned
    SettingChange,    // fonts, style or palette changed
    OwnerDestroyed,   // the owner window is going away; handlers are dropped after this
};

// What a MenuChar answer asks the open menu to do.
enum class MenuCharAction { Ignore = 0, Close = 1, Execute = 2, Select = 3 };

// One notification to a menu's owner. Fields not named for a type stay at their defaults.
struct MenuMessage {
    MenuMessageType type = MenuMessageType::Command;
    MenuHandle menu = 0;  // the menu that holds the item, or the menu opening/closing
    quint32 id = 0;       // item ID (sub-menu handle for a sub-menu item)
    int position = -1;    // 0-based position of the item in menu
    quint32 flags = 0;    // the item's MenuFlag bits
    qintptr itemData = 0;
    bool topLevel = false;  // Init/UninitMenuPopup: menu is the tracked top-level menu
    bool closing = false;   // MenuSelect: the whole menu closed

    QSize size;                   // MeasureItem in/out
    QPainter* painter = nullptr;  // DrawItem
    QRect rect;                   // DrawItem, in the painter's coordinates
    quint32 state = 0;            // DrawItem: DrawState bits

    QChar character;  // MenuChar: the character as typed
    MenuCharAction charAction = MenuCharAction::Ignore;
    int charPosition = -1;
};

}  // namespace zs
