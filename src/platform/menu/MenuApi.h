#pragma once

#include <QPoint>
#include <QRect>
#include <functional>

#include "MenuMessage.h"
#include "MenuMessageHandler.h"
#include "MenuTypes.h"

class QMenu;
class QWidget;

namespace zs {

// Popup menus addressed by handle, with items addressed by position or command ID,
// over QMenu. Every call fails quietly (false, 0 or -1) on an unknown handle or a bad
// item; nothing throws. Call from the GUI thread only.
class MenuApi {
public:
    // A new empty popup menu; never 0.
    static MenuHandle CreatePopupMenu();
    // Destroys the menu and, first, every sub-menu its items open.
    static bool DestroyMenu(MenuHandle menu);
    static bool IsMenu(MenuHandle menu);

    // Appends an item. With MenuFlag::Popup, idOrSubMenu is the handle of the sub-menu it
    // opens; otherwise the command ID. text is the caption with its "&" marker, optionally
    // followed by a tab and the shortcut text (e.g. "&Open\tCtrl+O"); the shortcut text is
    // offered to assistive technology as the item's key.
    static bool AppendMenu(MenuHandle menu, quint32 flags, quint32 idOrSubMenu, const QString& text,
                           qintptr itemData = 0);
    // Replaces the item given by position (byPosition) or by command ID.
    static bool ModifyMenu(MenuHandle menu, quint32 item, bool byPosition, quint32 flags,
                           quint32 idOrSubMenu, const QString& text, qintptr itemData = 0);
    static bool RemoveMenu(MenuHandle menu, quint32 item, bool byPosition);
    static bool SetMenuItemData(MenuHandle menu, quint32 item, bool byPosition, qintptr data);
    static bool GetMenuItemInfo(MenuHandle menu, quint32 item, bool byPosition, MenuItemInfo& info);
    // Number of items, or -1 for an unknown handle.
    static int GetMenuItemCount(MenuHandle menu);
    // Command ID at a position; kNoMenuItemID for a sub-menu item or a bad position.
    static quint32 GetMenuItemID(MenuHandle menu, int position);

    // Shows the menu with its top-left corner near screenPos (screen pixels), kept clear of
    // exclude (screen pixels; ignored when empty), and runs it until the user chooses or
    // dismisses it. The owner's handlers receive the menu's notifications meanwhile.
    // With TrackFlag::ReturnCmd the result is the chosen command ID, 0 when dismissed;
    // without it the choice is posted to the owner as a Command message and the result
    // is 1 for a choice, 0 otherwise. Returns 0 at once for an empty or unknown menu, a
    // null owner, or while another menu is being tracked.
    static quint32 TrackPopupMenuEx(MenuHandle menu, quint32 flags, QPoint screenPos,
                                    QWidget* owner, const QRect& exclude = {});
    // Closes the menu being tracked, as a dismissal.
    static void EndMenu();

    // Owner subclassing: the handler receives the owner's menu messages until removed
    // (or the owner is destroyed, after an OwnerDestroyed message). Adding a handler
    // twice is refused.
    static bool SubclassOwner(QWidget* owner, MenuMessageHandler* handler);
    static bool RemoveSubclass(QWidget* owner, MenuMessageHandler* handler);
    static bool IsSubclassed(QWidget* owner, MenuMessageHandler* handler);
    // Offers the message to the owner's handlers, most recent first; false when none took it.
    static bool SendMessage(QWidget* owner, MenuMessage& message);
    // Sends to the owner of the menu being tracked; false when nothing is tracked.
    static bool SendToTrackingOwner(MenuMessage& message);
    // Delivers a Command message for id to the owner from the event loop.
    static void PostCommand(QWidget* owner, quint32 id);

    // The QMenu behind a handle, or null (for inspection: tests, accessibility).
    static QMenu* MenuWidget(MenuHandle menu);

    // Test seam: called from inside the tracking loop once the top-level menu is on
    // screen, with that menu; it may drive the menu with real input events. Pass an
    // empty function to remove it.
    using TrackObserver = std::function<void(QMenu* menu)>;
    static void SetTrackObserver(TrackObserver observer);
};

}  // namespace zs
