// Showing the menu and answering the owner-window messages while it is shown.
#include <QApplication>
#include <QPainter>

#include "MenuApi.h"
#include "PopupMenuLayout.h"
#include "PopupMenuPainter.h"
#include "SystemColors.h"
#include "Twips.h"
#include "cPopupMenu.h"

using zs::MenuApi;
using zs::MenuMessage;
using zs::MenuMessageType;

int cPopupMenu::ShowPopupMenu(int lLeft, int lTop, int lExcludeLeft, int lExcludeTop,
                              int lExcludeRight, int lExcludeBottom, bool bTryToKeepLeft) {
    if (items_.isEmpty() || !owner_) return 0;
    const QPoint client(zs::TwipsToPixels(lLeft), zs::TwipsToPixels(lTop));
    return Track(top_, owner_->mapToGlobal(client),
                 ExclusionRect(lExcludeLeft, lExcludeTop, lExcludeRight, lExcludeBottom),
                 bTryToKeepLeft);
}

int cPopupMenu::ShowPopupMenuAtIndex(int lIndex, int lLeft, int lTop, int lExcludeLeft,
                                     int lExcludeTop, int lExcludeRight, int lExcludeBottom,
                                     bool bTryToKeepLeft) {
    const cPopupMenuItem* item = Item(lIndex);
    if (!item || item->SubMenu == 0 || !owner_) return 0;
    const QPoint client(zs::TwipsToPixels(lLeft), zs::TwipsToPixels(lTop));
    return Track(item->SubMenu, owner_->mapToGlobal(client),
                 ExclusionRect(lExcludeLeft, lExcludeTop, lExcludeRight, lExcludeBottom),
                 bTryToKeepLeft);
}

int cPopupMenu::ShowPopupAbsolute(int lLeft, int lTop, bool bTryToKeepLeft) {
    if (items_.isEmpty() || !owner_) return 0;
    return Track(top_, QPoint(lLeft, lTop), QRect(), bTryToKeepLeft);
}

QRect cPopupMenu::ExclusionRect(int left, int top, int right, int bottom) const {
    if (right - left == 0 && bottom - top == 0) return {};
    const QPoint topLeft =
        owner_->mapToGlobal(QPoint(zs::TwipsToPixels(left), zs::TwipsToPixels(top)));
    const QPoint bottomRight =
        owner_->mapToGlobal(QPoint(zs::TwipsToPixels(right), zs::TwipsToPixels(bottom)));
    return QRect(topLeft, bottomRight - QPoint(1, 1)).normalized();
}

int cPopupMenu::Track(zs::MenuHandle menu, QPoint screenPoint, const QRect& exclude,
                      bool tryToKeepLeft) {
    if (tracking_) return 0;
    quint32 flags = zs::TrackFlag::ReturnCmd;
    if (!tryToKeepLeft) flags |= zs::TrackFlag::Vertical;
    if (noAnimation_) flags |= zs::TrackFlag::NoAnimation;
    QPointer<QWidget> owner = owner_;
    MenuMessage enter;
    enter.type = MenuMessageType::EnterMenuLoop;
    MenuApi::SendMessage(owner, enter);
    const bool ownSubclass = !subclassed_ && MenuApi::SubclassOwner(owner, this);
    tracking_ = true;

    int index = 0;
    for (;;) {
        SyncChevron(true);
        const quint32 id = MenuApi::TrackPopupMenuEx(menu, flags, screenPoint, owner, exclude);
        const bool chevron = id != 0 && id == chevronId_;
        index = ItemForID(id);
        if (chevron || expandRequested_) {
            // Shown again with every item, in place of the chevron.
            expanded_ = true;
            expandRequested_ = false;
            continue;
        }
        if (index != 0) emit Click(index);
        if (index == 0 || !items_[index - 1].RedisplayOnClick || !owner) break;
    }

    chevronTimer_.stop();
    tracking_ = false;
    expanded_ = false;
    highlightedId_ = 0;
    SyncChevron(false);
    if (ownSubclass) MenuApi::RemoveSubclass(owner, this);
    MenuMessage exit;
    exit.type = MenuMessageType::ExitMenuLoop;
    if (owner) MenuApi::SendMessage(owner, exit);
    return index;
}

// While the menu is shown, the chevron item stands at the end of the top menu when
// infrequently used items are hidden there.
void cPopupMenu::SyncChevron(bool showing) {
    bool hiding = false;
    for (int i = 1; i <= Count(); ++i) {
        hiding = hiding || (items_[i - 1].ParentMenu == top_ && !IsShown(items_[i - 1]) &&
                            items_[i - 1].Visible);
        SyncItem(i);
    }
    hiding = hiding && showing;
    if (hiding == chevronShown_ || top_ == 0) return;
    if (hiding) {
        if (chevronId_ == 0) chevronId_ = NewID();
        chevronShown_ =
            MenuApi::AppendMenu(top_, zs::MenuFlag::OwnerDraw, chevronId_, tr("Show all items"));
    } else {
        MenuApi::RemoveMenu(top_, chevronId_, false);
        chevronShown_ = false;
    }
}

void cPopupMenu::ToolbarMenuChevronPress() {
    if (expanded_) return;
    expanded_ = true;
    if (tracking_) {
        expandRequested_ = true;
        MenuApi::EndMenu();
    }
}

bool cPopupMenu::EmulateMenuClick(int lIndex) {
    const cPopupMenuItem* item = Item(lIndex);
    if (!item || !item->Enabled || item->IsInert() || !item->Visible || item->SubMenu != 0) {
        return false;
    }
    emit Click(lIndex);
    return true;
}

bool cPopupMenu::CreateSubClass() {
    if (subclassed_ || !owner_) return subclassed_;
    subclassed_ = MenuApi::IsSubclassed(owner_, this) || MenuApi::SubclassOwner(owner_, this);
    return subclassed_;
}

void cPopupMenu::DestroySubClass() {
    if (!subclassed_) return;
    subclassed_ = false;
    if (owner_) MenuApi::RemoveSubclass(owner_, this);
}

// ---- owner messages

bool cPopupMenu::HandleMenuMessage(MenuMessage& message) {
    switch (message.type) {
        case MenuMessageType::MeasureItem:
            if (message.id != chevronId_ && ItemForID(message.id) == 0) return false;
            OnMeasure(message);
            return true;
        case MenuMessageType::DrawItem:
            if (message.id != chevronId_ && ItemForID(message.id) == 0) return false;
            OnDraw(message);
            return true;
        case MenuMessageType::MenuSelect:
            OnSelect(message);
            return false;
        case MenuMessageType::InitMenuPopup:
        case MenuMessageType::UninitMenuPopup: {
            const int parent = ParentIndexOfMenu(message.menu);
            if (parent < 0) return false;
            if (message.type == MenuMessageType::InitMenuPopup)
                emit InitPopupMenu(parent);
            else
                emit UnInitPopupMenu(parent);
            return false;
        }
        case MenuMessageType::MenuChar:
            if (ParentIndexOfMenu(message.menu) < 0) return false;
            OnMenuChar(message);
            return true;
        case MenuMessageType::Command:
            if (ItemForID(message.id) == 0 && message.id != chevronId_) return false;
            OnCommand(message.id);
            return true;
        case MenuMessageType::SettingChange:
            if (!fontSet_) font_ = QApplication::font("QMenu");
            RecomputeBase();
            return false;
        case MenuMessageType::OwnerDestroyed:
            subclassed_ = false;
            Clear();
            owner_ = nullptr;
            return false;
        default:
            return false;
    }
}

// 0 for the top menu, the index of the item that opens it for a sub-menu, -1 for a
// menu that is not ours.
int cPopupMenu::ParentIndexOfMenu(zs::MenuHandle menu) const {
    if (menu == 0) return -1;
    if (menu == top_) return 0;
    for (int i = 0; i < items_.size(); ++i) {
        if (items_[i].SubMenu == menu) return i + 1;
    }
    return -1;
}

void cPopupMenu::OnMeasure(MenuMessage& message) {
    if (message.id == chevronId_) {
        message.size = PopupMenuLayout::ChevronSize();
        return;
    }
    const int index = ItemForID(message.id);
    const PopupMenuLayout::Size size = PopupMenuLayout::MeasureItem(
        items_, index - 1, {font_, base_, office_, hideInfrequent_ && !expanded_});
    cPopupMenuItem& item = items_[index - 1];
    item.Height = size.height;
    item.Width = size.width;
    item.ShortcutOffset = size.shortcutOffset;
    if (item.OwnerDraw) emit MeasureItem(item.Height, item.Width, index);
    message.size = QSize(item.Width, item.Height);
}

void cPopupMenu::OnDraw(MenuMessage& message) {
    const int index = ItemForID(message.id);
    MenuItemLook look = BaseLook(message.rect, message.state);
    if (index == 0) {
        look.kind = MenuItemLook::Kind::Chevron;
    } else {
        look = LookFor(index, message.rect, message.state);
    }
    PopupMenuPainter::Paint(*message.painter, look);
    if (index != 0 && items_[index - 1].OwnerDraw) {
        emit DrawItem(message.painter, message.rect, index, look.selected);
    }
}

void cPopupMenu::OnSelect(const MenuMessage& message) {
    if (message.closing) {
        emit MenuExit();
        return;
    }
    if (ParentIndexOfMenu(message.menu) < 0) return;
    highlightedId_ = message.id;
    if (message.id == chevronId_ && chevronShown_) {
        chevronTimer_.start();
        return;
    }
    const int index = ItemForID(message.id);
    if (index != 0) emit ItemHighlight(index);
}

void cPopupMenu::OnMenuChar(MenuMessage& message) {
    message.charAction = zs::MenuCharAction::Ignore;
    if (!accelerators_) return;
    const QString typed = QString(message.character).toUpper();
    int position = 0;
    for (const cPopupMenuItem& item : items_) {
        if (item.ParentMenu != message.menu) continue;
        if (item.Accelerator == typed && IsShown(item)) {
            message.charAction = zs::MenuCharAction::Execute;
            message.charPosition = position;
            return;
        }
        ++position;
    }
}

void cPopupMenu::OnCommand(quint32 id) {
    if (id == chevronId_) return;
    const int index = ItemForID(id);
    if (index != 0) emit Click(index);
}

// ---- looks

MenuItemLook cPopupMenu::BaseLook(const QRect& rect, quint32 state) const {
    const QPalette palette = owner_ ? owner_->palette() : QApplication::palette("QMenu");
    auto color = [&palette](qint64 stored, const QColor& system) {
        return stored < 0 ? system : zs::TranslateColor(quint32(stored), palette);
    };
    MenuItemLook look;
    look.rect = rect;
    look.base = base_;
    look.font = font_;
    look.selected = state & zs::DrawState::Selected;
    look.enabled = !(state & (zs::DrawState::Grayed | zs::DrawState::Disabled));
    look.office = office_;
    look.gradientHighlight = gradient_;
    look.buttonHighlight = button_;
    look.highlightChecked = highlightChecked_;
    look.imageProcessHighlights = imageProcess_;
    look.headerStyle = headerStyle_;
    look.showMnemonic = accelerators_;
    look.backgroundPicture = background_;
    const QColor base = palette.color(QPalette::Base);
    const QColor highlight = palette.color(QPalette::Highlight);
    look.background = color(menuBack_, office_ ? base : palette.color(QPalette::Window));
    look.iconColumn = palette.color(QPalette::Window).darker(104);
    look.foreground = color(inactiveFore_, palette.color(QPalette::Text));
    look.disabledForeground = palette.color(QPalette::Disabled, QPalette::Text);
    // The office look highlights with a light tint of the highlight colour and keeps
    // the text colour; the classic look inverts.
    const QColor tint = QColor::fromRgbF(highlight.redF() * 0.3f + base.redF() * 0.7f,
                                         highlight.greenF() * 0.3f + base.greenF() * 0.7f,
                                         highlight.blueF() * 0.3f + base.blueF() * 0.7f);
    look.activeBackground = color(activeBack_, office_ ? tint : highlight);
    look.activeForeground =
        color(activeFore_, office_ ? look.foreground : palette.color(QPalette::HighlightedText));
    return look;
}

MenuItemLook cPopupMenu::LookFor(int lIndex, const QRect& rect, quint32 state) const {
    const cPopupMenuItem& item = items_[lIndex - 1];
    MenuItemLook look = BaseLook(rect, state);
    look.kind = item.IsSeparator() ? MenuItemLook::Kind::Separator
                : item.Header      ? MenuItemLook::Kind::Header
                                   : MenuItemLook::Kind::Item;
    look.caption = item.Caption;
    look.shortcutText = item.ShortcutText;
    look.shortcutOffset = item.ShortcutOffset;
    look.checked = item.Checked;
    look.radio = item.RadioCheck;
    look.isDefault = item.Default;
    look.hasSubMenu = item.SubMenu != 0;
    look.showCheckAndIcon = item.ShowCheckAndIcon;
    look.enabled = item.Enabled;
    if (images_) {
        look.icon = images_->Icon(item.IconIndex);
        look.tickIcon = images_->Icon(tickIcon_);
        look.optionIcon = images_->Icon(optionIcon_);
    }
    return look;
}
