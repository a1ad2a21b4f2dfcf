#include "cPopupMenu.h"

#include <QApplication>

#include "MenuApi.h"
#include "MenuCaption.h"
#include "PopupMenuLayout.h"

using zs::MenuApi;
namespace MenuFlag = zs::MenuFlag;

cPopupMenu::cPopupMenu(QObject* parent) : QObject(parent) {
    font_ = QApplication::font("QMenu");
    RecomputeBase();
    chevronTimer_.setSingleShot(true);
    chevronTimer_.setInterval(500);
    connect(&chevronTimer_, &QTimer::timeout, this, [this] {
        if (tracking_ && chevronShown_ && highlightedId_ == chevronId_) ToolbarMenuChevronPress();
    });
}

cPopupMenu::~cPopupMenu() {
    DestroySubClass();
    Clear();
}

void cPopupMenu::sethWndOwner(QWidget* owner) {
    Clear();
    const bool keepSubclass = subclassed_;
    DestroySubClass();
    owner_ = owner;
    if (keepSubclass) CreateSubClass();
}

void cPopupMenu::setImageList(cImageList* images) {
    images_ = images;
    RecomputeBase();
}

void cPopupMenu::setFont(const QFont& font) {
    font_ = font;
    fontSet_ = true;
    RecomputeBase();
}

void cPopupMenu::RecomputeBase() {
    base_ = PopupMenuLayout::BaseHeight(font_, images_ ? images_->ImageHeight() : 0);
}

cPopupMenuItem* cPopupMenu::Item(int lIndex) {
    return Valid(lIndex) ? &items_[lIndex - 1] : nullptr;
}

const cPopupMenuItem* cPopupMenu::Item(int lIndex) const {
    return Valid(lIndex) ? &items_[lIndex - 1] : nullptr;
}

// ---- adding and removing

void cPopupMenu::ApplyCaption(cPopupMenuItem& item, const QString& raw) const {
    const MenuCaption parsed = MenuCaption::Parse(raw);
    item.RawCaption = raw;
    item.Caption = parsed.caption;
    item.Header = parsed.header;
    item.ColumnBreak = parsed.columnBreak;
    item.Break = parsed.lineBreak;
    item.ShortcutText = parsed.shortcutText;
    item.Accelerator = parsed.accelerator;
    item.ShortcutKey = parsed.shortcutKey;
    item.ShortcutModifiers = parsed.shortcutModifiers;
}

cPopupMenuItem cPopupMenu::MakeItem(const QString& caption, const QString& help, qintptr data,
                                    int parentIndex, int icon, bool checked, bool enabled,
                                    const QString& key) const {
    cPopupMenuItem item;
    ApplyCaption(item, caption);
    item.HelpText = help;
    item.ItemData = data;
    item.IconIndex = icon;
    item.Checked = checked;
    item.Enabled = enabled;
    item.Key = key;
    item.ParentIndex = parentIndex;
    item.Height = PopupMenuLayout::AddedHeight(item, base_);
    return item;
}

int cPopupMenu::AddItem(const QString& sCaption, const QString& sHelptext, qintptr lItemData,
                        int lParentIndex, int lIconIndex, bool bChecked, bool bEnabled,
                        const QString& sKey) {
    const int parent = Valid(lParentIndex) ? lParentIndex : 0;
    items_.append(
        MakeItem(sCaption, sHelptext, lItemData, parent, lIconIndex, bChecked, bEnabled, sKey));
    items_.last().MenuID = NewID();
    const int index = Count();
    AttachToPlatform(index);
    setItemData(index, lItemData);
    return index;
}

int cPopupMenu::InsertItem(int lIndex, const QString& sCaption, const QString& sHelptext,
                           qintptr lItemData, int lParentIndex, int lIconIndex, bool bChecked,
                           bool bEnabled, const QString& sKey) {
    if (lIndex < 1 || lIndex > Count() + 1) return 0;
    const int parent = lParentIndex >= 1 && lParentIndex < lIndex ? lParentIndex : 0;
    for (cPopupMenuItem& item : items_) {
        if (item.ParentIndex >= lIndex) ++item.ParentIndex;
    }
    items_.insert(lIndex - 1, MakeItem(sCaption, sHelptext, lItemData, parent, lIconIndex, bChecked,
                                       bEnabled, sKey));
    items_[lIndex - 1].MenuID = NewID();
    RebuildPlatform();
    return lIndex;
}

bool cPopupMenu::ReplaceItem(int lIndex, const QString& sCaption, const QString& sHelptext,
                             qintptr lItemData, int lIconIndex, bool bChecked, bool bEnabled,
                             const QString& sKey) {
    cPopupMenuItem* item = Item(lIndex);
    if (!item) return false;
    ApplyCaption(*item, sCaption);
    item->HelpText = sHelptext;
    item->ItemData = lItemData;
    item->IconIndex = lIconIndex;
    item->Checked = bChecked;
    item->Enabled = bEnabled;
    item->Key = sKey;
    item->Height = PopupMenuLayout::AddedHeight(*item, base_);
    SyncItem(lIndex);
    return true;
}

bool cPopupMenu::RemoveItem(int lIndex) {
    if (!Valid(lIndex)) return false;
    ClearSubMenusOfItem(lIndex);
    items_.removeAt(lIndex - 1);
    for (cPopupMenuItem& item : items_) {
        if (item.ParentIndex > lIndex) --item.ParentIndex;
    }
    RebuildPlatform();
    return true;
}

void cPopupMenu::ClearSubMenusOfItem(int lIndex) {
    if (!Valid(lIndex)) return;
    // Children come after their parent; removing from the back keeps indexes valid.
    for (int i = Count(); i > lIndex; --i) {
        if (items_[i - 1].ParentIndex == lIndex) RemoveItem(i);
    }
    cPopupMenuItem& item = items_[lIndex - 1];
    if (item.SubMenu == 0) return;
    MenuApi::DestroyMenu(item.SubMenu);
    item.SubMenu = 0;
    item.MenuID = NewID();
    SyncItem(lIndex);
}

void cPopupMenu::Clear() {
    DestroyPlatform();
    items_.clear();
    idCounter_ = 2048;
    chevronId_ = 0;
}

// ---- IDs and the platform menus

bool cPopupMenu::IdInUse(quint32 id) const {
    if (id == chevronId_ && id != 0) return true;
    for (const cPopupMenuItem& item : items_) {
        if (item.MenuID == id || item.SubMenu == id) return true;
    }
    return false;
}

quint32 cPopupMenu::NewID() {
    quint32 id = std::max<quint32>(idCounter_ + 1, quint32(Count()));
    while (IdInUse(id)) ++id;
    idCounter_ = id;
    return id;
}

zs::MenuHandle cPopupMenu::NewSubMenu() {
    // A handle equal to one of our IDs would make commands ambiguous.
    for (int tries = 0; tries < 100; ++tries) {
        const zs::MenuHandle menu = MenuApi::CreatePopupMenu();
        if (!IdInUse(menu)) return menu;
        MenuApi::DestroyMenu(menu);
    }
    return 0;
}

quint32 cPopupMenu::PlatformFlags(const cPopupMenuItem& item) const {
    quint32 flags = MenuFlag::OwnerDraw;
    if (item.Checked) flags |= MenuFlag::Checked;
    if (!item.Enabled) flags |= MenuFlag::Grayed;
    if (item.IsInert() || !IsShown(item)) flags |= MenuFlag::Separator;
    if (item.ColumnBreak) flags |= MenuFlag::MenuBarBreak;
    if (item.Break) flags |= MenuFlag::MenuBreak;
    if (item.SubMenu != 0) flags |= MenuFlag::Popup;
    return flags;
}

QString cPopupMenu::PlatformText(const cPopupMenuItem& item) const {
    if (item.IsSeparator()) return {};
    return item.ShortcutText.isEmpty() ? item.Caption
                                       : item.Caption + QLatin1Char('\t') + item.ShortcutText;
}

bool cPopupMenu::IsShown(const cPopupMenuItem& item) const {
    return PopupMenuLayout::IsShown(item, hideInfrequent_ && !expanded_);
}

int cPopupMenu::PositionInMenu(int lIndex) const {
    int position = 0;
    for (int i = 1; i < lIndex; ++i) {
        if (items_[i - 1].ParentMenu == items_[lIndex - 1].ParentMenu) ++position;
    }
    return position;
}

void cPopupMenu::AttachToPlatform(int lIndex) {
    if (top_ == 0) top_ = MenuApi::CreatePopupMenu();
    cPopupMenuItem& item = items_[lIndex - 1];
    item.ParentMenu = top_;
    if (item.ParentIndex != 0) {
        cPopupMenuItem& parent = items_[item.ParentIndex - 1];
        if (parent.SubMenu == 0) {
            parent.SubMenu = NewSubMenu();
            if (parent.SubMenu != 0) parent.MenuID = parent.SubMenu;
            SyncItem(item.ParentIndex);
        }
        item.ParentMenu = parent.SubMenu;
    }
    MenuApi::AppendMenu(item.ParentMenu, PlatformFlags(item), item.MenuID, PlatformText(item),
                        item.ItemData);
}

void cPopupMenu::SyncItem(int lIndex) {
    const cPopupMenuItem& item = items_[lIndex - 1];
    const int position = PositionInMenu(lIndex);
    const quint32 flags = PlatformFlags(item);
    const quint32 id = item.SubMenu != 0 ? item.SubMenu : item.MenuID;
    const QString text = PlatformText(item);
    zs::MenuItemInfo now;
    // Replacing an item rebuilds its platform action: skip it when nothing changed.
    if (MenuApi::GetMenuItemInfo(item.ParentMenu, position, true, now) && now.flags == flags &&
        now.id == id && now.text == text && now.itemData == item.ItemData) {
        return;
    }
    MenuApi::ModifyMenu(item.ParentMenu, position, true, flags, id, text, item.ItemData);
}

void cPopupMenu::DestroyPlatform() {
    if (tracking_) MenuApi::EndMenu();
    for (cPopupMenuItem& item : items_) {
        if (item.SubMenu != 0) MenuApi::DestroyMenu(item.SubMenu);
        if (item.SubMenu != 0 && item.MenuID == item.SubMenu) item.MenuID = NewID();
        item.SubMenu = 0;
        item.ParentMenu = 0;
    }
    if (top_ != 0) MenuApi::DestroyMenu(top_);
    top_ = 0;
    chevronShown_ = false;
}

void cPopupMenu::RebuildPlatform() {
    DestroyPlatform();
    for (int i = 1; i <= Count(); ++i) AttachToPlatform(i);
}

// ---- item properties

int cPopupMenu::IndexForKey(const QString& sKey) const {
    for (int i = 0; i < items_.size(); ++i) {
        if (items_[i].Key == sKey) return i + 1;
    }
    return 0;
}

quint32 cPopupMenu::IDForItem(int lIndex) const {
    const cPopupMenuItem* item = Item(lIndex);
    return item ? item->MenuID : 0;
}

int cPopupMenu::ItemForID(quint32 id) const {
    if (id == 0) return 0;
    for (int i = 0; i < items_.size(); ++i) {
        if (items_[i].MenuID == id) return i + 1;
    }
    return 0;
}

void cPopupMenu::setItemData(int lIndex, qintptr lData) {
    cPopupMenuItem* item = Item(lIndex);
    if (!item) return;
    item->ItemData = lData;
    MenuApi::SetMenuItemData(item->ParentMenu, PositionInMenu(lIndex), true, lData);
}

void cPopupMenu::setCaption(int lIndex, const QString& sCaption) {
    cPopupMenuItem* item = Item(lIndex);
    if (!item) return;
    ApplyCaption(*item, sCaption);
    SyncItem(lIndex);
}

void cPopupMenu::GroupToggle(int lIndex) {
    if (!Valid(lIndex)) return;
    const zs::MenuHandle menu = items_[lIndex - 1].ParentMenu;
    int first = lIndex;
    while (first > 1 && items_[first - 2].ParentMenu == menu && !items_[first - 2].IsSeparator())
        --first;
    for (int i = first; i <= Count(); ++i) {
        const cPopupMenuItem& item = items_[i - 1];
        if (item.ParentMenu != menu) continue;
        if (item.IsSeparator()) break;
        if (item.RadioCheck || i == lIndex) setChecked(i, i == lIndex);
    }
}

#define ZS_ITEM_GETTER(Type, Name, Field, Fallback) \
    Type cPopupMenu::Name(int lIndex) const {       \
        const cPopupMenuItem* item = Item(lIndex);  \
        return item ? item->Field : Fallback;       \
    }
#define ZS_ITEM_SETTER(Type, Name, Field, Sync)     \
    void cPopupMenu::Name(int lIndex, Type value) { \
        cPopupMenuItem* item = Item(lIndex);        \
        if (!item) return;                          \
        item->Field = value;                        \
        if (Sync) SyncItem(lIndex);                 \
    }

ZS_ITEM_GETTER(QString, ItemKey, Key, QString())
ZS_ITEM_GETTER(qintptr, ItemData, ItemData, 0)
ZS_ITEM_GETTER(int, ItemParentIndex, ParentIndex, 0)
ZS_ITEM_GETTER(int, ItemIcon, IconIndex, -1)
ZS_ITEM_GETTER(bool, ItemInfrequentlyUsed, InfrequentlyUsed, false)
ZS_ITEM_GETTER(bool, Checked, Checked, false)
ZS_ITEM_GETTER(bool, RadioCheck, RadioCheck, false)
ZS_ITEM_GETTER(bool, ShowCheckAndIcon, ShowCheckAndIcon, false)
ZS_ITEM_GETTER(bool, RedisplayMenuOnClick, RedisplayOnClick, false)
ZS_ITEM_GETTER(bool, Enabled, Enabled, false)
ZS_ITEM_GETTER(bool, Visible, Visible, false)
ZS_ITEM_GETTER(bool, Header, Header, false)
ZS_ITEM_GETTER(bool, OwnerDraw, OwnerDraw, false)
ZS_ITEM_GETTER(bool, Default, Default, false)
ZS_ITEM_GETTER(QString, Caption, Caption, QString())
ZS_ITEM_GETTER(QString, HelpText, HelpText, QString())
ZS_ITEM_GETTER(QString, Accelerator, Accelerator, QString())
ZS_ITEM_GETTER(QString, ShortcutText, ShortcutText, QString())
ZS_ITEM_GETTER(quint16, ShortcutKey, ShortcutKey, 0)
ZS_ITEM_GETTER(int, ShortcutModifiers, ShortcutModifiers, 0)
ZS_ITEM_GETTER(bool, ColumnBreak, ColumnBreak, false)
ZS_ITEM_GETTER(bool, Break, Break, false)
ZS_ITEM_GETTER(int, MenuItemHeight, Height, 0)
ZS_ITEM_GETTER(int, MenuItemWidth, Width, 0)
ZS_ITEM_GETTER(int, ShortcutOffset, ShortcutOffset, 0)

ZS_ITEM_SETTER(const QString&, setItemKey, Key, false)
ZS_ITEM_SETTER(int, setItemIcon, IconIndex, false)
ZS_ITEM_SETTER(bool, setItemInfrequentlyUsed, InfrequentlyUsed, true)
ZS_ITEM_SETTER(bool, setChecked, Checked, true)
ZS_ITEM_SETTER(bool, setRadioCheck, RadioCheck, false)
ZS_ITEM_SETTER(bool, setShowCheckAndIcon, ShowCheckAndIcon, false)
ZS_ITEM_SETTER(bool, setRedisplayMenuOnClick, RedisplayOnClick, false)
ZS_ITEM_SETTER(bool, setEnabled, Enabled, true)
ZS_ITEM_SETTER(bool, setVisible, Visible, true)
ZS_ITEM_SETTER(bool, setHeader, Header, false)
ZS_ITEM_SETTER(bool, setOwnerDraw, OwnerDraw, false)
ZS_ITEM_SETTER(bool, setDefault, Default, false)
ZS_ITEM_SETTER(const QString&, setHelpText, HelpText, false)

#undef ZS_ITEM_GETTER
#undef ZS_ITEM_SETTER
