#include "MenuApi.h"

#include <QApplication>
#include <QHash>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <map>
#include <memory>

#include "OwnerHook.h"
#include "PlatformMenu.h"
#include "PopupPlacement.h"

namespace zs {

namespace {

struct Tracking {
    bool active = false;
    QPointer<QWidget> owner;
    quint32 chosen = 0;
};

struct State {
    QHash<MenuHandle, QPointer<PlatformMenu>> menus;
    MenuHandle nextHandle = 0x10000;
    std::map<QWidget*, std::unique_ptr<OwnerHook>> hooks;
    std::map<QWidget*, QMetaObject::Connection> ownerGone;
    Tracking tracking;
    MenuApi::TrackObserver observer;

    ~State() {
        // Menus still alive at exit are deleted only while Qt still runs.
        if (!QCoreApplication::instance()) return;
        for (const auto& menu : std::as_const(menus)) delete menu.data();
    }
};

State& S() {
    static State state;
    return state;
}

PlatformMenu* Find(MenuHandle handle) {
    return S().menus.value(handle).data();
}

void HideAll() {
    for (const auto& menu : std::as_const(S().menus)) {
        if (menu && menu->isVisible()) menu->hide();
    }
}

void OnChosen(quint32 id) {
    if (!S().tracking.active) return;
    S().tracking.chosen = id;
    HideAll();
}

void DropHook(QWidget* owner) {
    S().hooks.erase(owner);
    auto gone = S().ownerGone.find(owner);
    if (gone == S().ownerGone.end()) return;
    QObject::disconnect(gone->second);
    S().ownerGone.erase(gone);
}

void OnOwnerDestroyed(QWidget* owner) {
    auto it = S().hooks.find(owner);
    if (it == S().hooks.end()) return;
    MenuMessage message;
    message.type = MenuMessageType::OwnerDestroyed;
    it->second->Send(message);
    DropHook(owner);
}

// The QMenu of the sub-menu an item opens, or null when the item opens none.
bool ResolveSubMenu(quint32 flags, quint32 idOrSubMenu, PlatformMenu*& subMenu) {
    subMenu = nullptr;
    if (!(flags & MenuFlag::Popup)) return true;
    subMenu = Find(idOrSubMenu);
    return subMenu != nullptr;
}

PlatformMenu::Entry MakeEntry(quint32 flags, quint32 id, const QString& text, qintptr data) {
    PlatformMenu::Entry entry;
    entry.id = id;
    entry.flags = flags;
    entry.itemData = data;
    entry.text = flags & MenuFlag::Separator && !(flags & MenuFlag::OwnerDraw) ? QString() : text;
    return entry;
}

}  // namespace

MenuHandle MenuApi::CreatePopupMenu() {
    State& s = S();
    while (s.nextHandle == 0 || s.menus.contains(s.nextHandle)) ++s.nextHandle;
    const MenuHandle handle = s.nextHandle++;
    auto* menu = new PlatformMenu(handle);
    QObject::connect(menu, &PlatformMenu::Chosen, menu, &OnChosen);
    s.menus.insert(handle, menu);
    return handle;
}

bool MenuApi::DestroyMenu(MenuHandle handle) {
    PlatformMenu* menu = Find(handle);
    S().menus.remove(handle);
    if (!menu) return false;
    for (int i = 0; i < menu->Count(); ++i) {
        if (menu->At(i).flags & MenuFlag::Popup) DestroyMenu(menu->At(i).id);
    }
    for (const auto& other : std::as_const(S().menus)) {
        if (other) other->DetachSubMenu(menu);
    }
    // A menu on screen is inside a tracking loop; let that loop unwind first.
    if (menu->isVisible()) {
        menu->hide();
        menu->deleteLater();
    } else {
        delete menu;
    }
    return true;
}

bool MenuApi::IsMenu(MenuHandle handle) {
    return Find(handle) != nullptr;
}

bool MenuApi::AppendMenu(MenuHandle handle, quint32 flags, quint32 idOrSubMenu, const QString& text,
                         qintptr itemData) {
    PlatformMenu* menu = Find(handle);
    PlatformMenu* subMenu = nullptr;
    if (!menu || !ResolveSubMenu(flags, idOrSubMenu, subMenu) || subMenu == menu) return false;
    menu->Append(MakeEntry(flags, idOrSubMenu, text, itemData), subMenu);
    return true;
}

bool MenuApi::ModifyMenu(MenuHandle handle, quint32 item, bool byPosition, quint32 flags,
                         quint32 idOrSubMenu, const QString& text, qintptr itemData) {
    PlatformMenu* menu = Find(handle);
    PlatformMenu* subMenu = nullptr;
    if (!menu || !ResolveSubMenu(flags, idOrSubMenu, subMenu) || subMenu == menu) return false;
    const int position = menu->PositionOf(item, byPosition);
    if (position < 0) return false;
    menu->Replace(position, MakeEntry(flags, idOrSubMenu, text, itemData), subMenu);
    return true;
}

bool MenuApi::RemoveMenu(MenuHandle handle, quint32 item, bool byPosition) {
    PlatformMenu* menu = Find(handle);
    const int position = menu ? menu->PositionOf(item, byPosition) : -1;
    if (position < 0) return false;
    menu->Remove(position);
    return true;
}

bool MenuApi::SetMenuItemData(MenuHandle handle, quint32 item, bool byPosition, qintptr data) {
    PlatformMenu* menu = Find(handle);
    const int position = menu ? menu->PositionOf(item, byPosition) : -1;
    if (position < 0) return false;
    menu->SetItemData(position, data);
    return true;
}

bool MenuApi::GetMenuItemInfo(MenuHandle handle, quint32 item, bool byPosition,
                              MenuItemInfo& info) {
    PlatformMenu* menu = Find(handle);
    const int position = menu ? menu->PositionOf(item, byPosition) : -1;
    if (position < 0) return false;
    const PlatformMenu::Entry& entry = menu->At(position);
    info.flags = entry.flags;
    info.id = entry.id;
    info.subMenu = entry.flags & MenuFlag::Popup ? entry.id : 0;
    info.itemData = entry.itemData;
    info.text = entry.text;
    return true;
}

int MenuApi::GetMenuItemCount(MenuHandle handle) {
    PlatformMenu* menu = Find(handle);
    return menu ? menu->Count() : -1;
}

quint32 MenuApi::GetMenuItemID(MenuHandle handle, int position) {
    PlatformMenu* menu = Find(handle);
    if (!menu || position < 0 || position >= menu->Count()) return kNoMenuItemID;
    const PlatformMenu::Entry& entry = menu->At(position);
    return entry.flags & MenuFlag::Popup ? kNoMenuItemID : entry.id;
}

quint32 MenuApi::TrackPopupMenuEx(MenuHandle handle, quint32 flags, QPoint screenPos,
                                  QWidget* owner, const QRect& exclude) {
    PlatformMenu* menu = Find(handle);
    Tracking& tracking = S().tracking;
    if (!menu || menu->Count() == 0 || !owner || tracking.active) return 0;
    tracking = Tracking{true, owner, 0};
    const QPointer<PlatformMenu> guard(menu);

    menu->PrepareTopLevel();
    QScreen* screen = QGuiApplication::screenAt(screenPos);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QPoint at =
        PopupPlacement::Place(menu->sizeHint(), screenPos, exclude, screen->availableGeometry(),
                              flags & TrackFlag::Vertical);
    if (S().observer) {
        QTimer::singleShot(0, menu, [menu, observer = S().observer] { observer(menu); });
    }
    menu->exec(at);

    MenuMessage closing;
    closing.type = MenuMessageType::MenuSelect;
    closing.closing = true;
    SendToTrackingOwner(closing);
    const quint32 chosen = tracking.chosen;
    tracking = Tracking{};
    if (flags & TrackFlag::ReturnCmd) return chosen;
    if (chosen != 0) PostCommand(owner, chosen);
    return chosen != 0 ? 1 : 0;
}

void MenuApi::EndMenu() {
    if (S().tracking.active) HideAll();
}

bool MenuApi::SubclassOwner(QWidget* owner, MenuMessageHandler* handler) {
    if (!owner || !handler) return false;
    auto& hook = S().hooks[owner];
    if (!hook) {
        hook = std::make_unique<OwnerHook>(owner);
        S().ownerGone[owner] =
            QObject::connect(owner, &QObject::destroyed, [owner] { OnOwnerDestroyed(owner); });
    }
    return hook->Add(handler);
}

bool MenuApi::RemoveSubclass(QWidget* owner, MenuMessageHandler* handler) {
    auto it = S().hooks.find(owner);
    // The hook itself stays until the owner goes: a handler may be removing itself
    // from inside the hook's own dispatch.
    return it != S().hooks.end() && it->second->Remove(handler);
}

bool MenuApi::IsSubclassed(QWidget* owner, MenuMessageHandler* handler) {
    auto it = S().hooks.find(owner);
    return it != S().hooks.end() && it->second->Contains(handler);
}

bool MenuApi::SendMessage(QWidget* owner, MenuMessage& message) {
    auto it = S().hooks.find(owner);
    return it != S().hooks.end() && it->second->Send(message);
}

bool MenuApi::SendToTrackingOwner(MenuMessage& message) {
    const Tracking& tracking = S().tracking;
    return tracking.active && tracking.owner && SendMessage(tracking.owner, message);
}

void MenuApi::PostCommand(QWidget* owner, quint32 id) {
    QTimer::singleShot(0, owner, [owner, id] {
        MenuMessage message;
        message.type = MenuMessageType::Command;
        message.id = id;
        SendMessage(owner, message);
    });
}

QMenu* MenuApi::MenuWidget(MenuHandle handle) {
    return Find(handle);
}

void MenuApi::SetTrackObserver(TrackObserver observer) {
    S().observer = std::move(observer);
}

}  // namespace zs
