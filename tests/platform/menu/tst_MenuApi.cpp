#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "MenuApi.h"
#include "MenuDriver.h"

using namespace zs;

namespace {

// Records the owner's menu messages and answers them through `answer`.
class Recorder : public MenuMessageHandler {
public:
    QList<MenuMessage> log;
    std::function<bool(MenuMessage&)> answer;

    bool HandleMenuMessage(MenuMessage& message) override {
        log.append(message);
        return answer ? answer(message) : false;
    }
    int Count(MenuMessageType type) const {
        return int(std::count_if(log.begin(), log.end(),
                                 [type](const MenuMessage& m) { return m.type == type; }));
    }
};

constexpr quint32 kDrawn = MenuFlag::OwnerDraw;

// A menu of three owner-drawn items (IDs 101..103; 102 disabled) and a separator.
MenuHandle ThreeItems() {
    const MenuHandle menu = MenuApi::CreatePopupMenu();
    MenuApi::AppendMenu(menu, kDrawn, 101, "&Alpha", 11);
    MenuApi::AppendMenu(menu, kDrawn | MenuFlag::Grayed, 102, "&Beta", 12);
    MenuApi::AppendMenu(menu, kDrawn | MenuFlag::Separator, 0, "");
    MenuApi::AppendMenu(menu, kDrawn | MenuFlag::Checked, 103, "&Gamma\tCtrl+G", 13);
    return menu;
}

// Answers measure requests with a fixed size and paints every item itself.
bool FixedSizeOwner(MenuMessage& message) {
    if (message.type == MenuMessageType::MeasureItem) {
        message.size = message.flags & MenuFlag::Separator ? QSize(8, 5) : QSize(140, 23);
        return true;
    }
    if (message.type == MenuMessageType::DrawItem) {
        message.painter->fillRect(message.rect, Qt::red);
        return true;
    }
    return false;
}

}  // namespace

class tst_MenuApi : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void itemsByPositionAndId();
    void subMenusAndDestruction();
    void unknownHandlesFailQuietly();
    void clickReturnsChosenIdWithOwnerMessages();
    void measuredSizeIsTheShownSize();
    void dismissAndDisabledItemsChooseNothing();
    void choiceWithoutReturnCmdIsPostedToOwner();
    void menuCharAnswersAndMnemonics();
    void subMenuItemChosenThroughKeyboard();
    void handlerChainAndOwnerDestruction();

private:
    std::unique_ptr<QWidget> owner_ = std::make_unique<QWidget>();
    Recorder recorder_;
};

void tst_MenuApi::cleanup() {
    MenuApi::SetTrackObserver({});
    MenuApi::RemoveSubclass(owner_.get(), &recorder_);
    recorder_.log.clear();
    recorder_.answer = {};
}

void tst_MenuApi::itemsByPositionAndId() {
    const MenuHandle menu = ThreeItems();
    QVERIFY(menu != 0);
    QCOMPARE(MenuApi::GetMenuItemCount(menu), 4);
    QCOMPARE(MenuApi::GetMenuItemID(menu, 3), 103u);

    MenuItemInfo info;
    QVERIFY(MenuApi::GetMenuItemInfo(menu, 102, false, info));
    QCOMPARE(info.flags, kDrawn | MenuFlag::Grayed);
    QCOMPARE(info.itemData, qintptr(12));
    QCOMPARE(info.text, QString("&Beta"));

    QVERIFY(MenuApi::ModifyMenu(menu, 1, true, kDrawn, 202, "&Delta", 22));
    QVERIFY(MenuApi::SetMenuItemData(menu, 202, false, 99));
    QVERIFY(MenuApi::GetMenuItemInfo(menu, 1, true, info));
    QCOMPARE(info.id, 202u);
    QCOMPARE(info.itemData, qintptr(99));
    QVERIFY(MenuApi::MenuWidget(menu)->actions().at(1)->isEnabled());

    QVERIFY(MenuApi::RemoveMenu(menu, 101, false));
    QCOMPARE(MenuApi::GetMenuItemCount(menu), 3);
    QCOMPARE(MenuApi::GetMenuItemID(menu, 0), 202u);
    QVERIFY(!MenuApi::RemoveMenu(menu, 101, false));
    QVERIFY(MenuApi::DestroyMenu(menu));
}

void tst_MenuApi::subMenusAndDestruction() {
    const MenuHandle top = MenuApi::CreatePopupMenu();
    const MenuHandle sub = MenuApi::CreatePopupMenu();
    QVERIFY(top != sub);
    QVERIFY(MenuApi::AppendMenu(sub, kDrawn, 301, "Inner"));
    QVERIFY(MenuApi::AppendMenu(top, kDrawn | MenuFlag::Popup, sub, "Outer"));
    QVERIFY(!MenuApi::AppendMenu(top, MenuFlag::Popup, top, "Itself"));
    QCOMPARE(MenuApi::GetMenuItemID(top, 0), kNoMenuItemID);
    MenuItemInfo info;
    QVERIFY(MenuApi::GetMenuItemInfo(top, 0, true, info));
    QCOMPARE(info.subMenu, sub);
    QCOMPARE(MenuApi::MenuWidget(top)->actions().at(0)->menu(), MenuApi::MenuWidget(sub));

    QVERIFY(MenuApi::DestroyMenu(top));
    QVERIFY(!MenuApi::IsMenu(top));
    QVERIFY(!MenuApi::IsMenu(sub));
    QVERIFY(!MenuApi::DestroyMenu(sub));
}

void tst_MenuApi::unknownHandlesFailQuietly() {
    const MenuHandle gone = MenuApi::CreatePopupMenu();
    MenuApi::DestroyMenu(gone);
    MenuItemInfo info;
    QCOMPARE(MenuApi::GetMenuItemCount(gone), -1);
    QCOMPARE(MenuApi::GetMenuItemID(gone, 0), kNoMenuItemID);
    QVERIFY(!MenuApi::AppendMenu(gone, 0, 1, "x"));
    QVERIFY(!MenuApi::GetMenuItemInfo(gone, 0, true, info));
    QCOMPARE(MenuApi::TrackPopupMenuEx(gone, TrackFlag::ReturnCmd, {}, owner_.get()), 0u);

    const MenuHandle empty = MenuApi::CreatePopupMenu();
    QCOMPARE(MenuApi::TrackPopupMenuEx(empty, TrackFlag::ReturnCmd, {}, owner_.get()), 0u);
    MenuApi::AppendMenu(empty, 0, 1, "x");
    QCOMPARE(MenuApi::TrackPopupMenuEx(empty, TrackFlag::ReturnCmd, {}, nullptr), 0u);
    MenuApi::DestroyMenu(empty);
}

void tst_MenuApi::clickReturnsChosenIdWithOwnerMessages() {
    const MenuHandle menu = ThreeItems();
    MenuApi::SubclassOwner(owner_.get(), &recorder_);
    recorder_.answer = FixedSizeOwner;
    MenuApi::SetTrackObserver([](QMenu* open) {
        QVERIFY(QTest::qWaitForWindowExposed(open));
        open->repaint();
        MenuDriver::ClickItem(open, 3);
    });
    QCOMPARE(MenuApi::TrackPopupMenuEx(menu, TrackFlag::ReturnCmd, {50, 60}, owner_.get()), 103u);

    const QList<MenuMessage>& log = recorder_.log;
    QVERIFY(!log.isEmpty());
    QCOMPARE(log.first().type, MenuMessageType::InitMenuPopup);
    QVERIFY(log.first().topLevel);
    QCOMPARE(recorder_.Count(MenuMessageType::MeasureItem), 4);
    QVERIFY(recorder_.Count(MenuMessageType::DrawItem) >= 4);
    const auto select = std::find_if(log.begin(), log.end(), [](const MenuMessage& m) {
        return m.type == MenuMessageType::MenuSelect && !m.closing;
    });
    QVERIFY(select != log.end());
    QCOMPARE(select->id, 103u);
    QCOMPARE(select->itemData, qintptr(13));
    QCOMPARE(recorder_.Count(MenuMessageType::UninitMenuPopup), 1);
    QVERIFY(log.last().type == MenuMessageType::MenuSelect && log.last().closing);
    // The checked item is drawn checked, and choosing it does not untick it.
    const auto drawn = std::find_if(log.begin(), log.end(), [](const MenuMessage& m) {
        return m.type == MenuMessageType::DrawItem && m.id == 103;
    });
    QVERIFY(drawn->state & DrawState::Checked);
    QVERIFY(MenuApi::MenuWidget(menu)->actions().at(3)->isChecked());
    MenuApi::DestroyMenu(menu);
}

void tst_MenuApi::measuredSizeIsTheShownSize() {
    const MenuHandle menu = ThreeItems();
    MenuApi::SubclassOwner(owner_.get(), &recorder_);
    recorder_.answer = FixedSizeOwner;
    QList<QRect> shown;
    QImage image;
    MenuApi::SetTrackObserver([&](QMenu* open) {
        for (QAction* action : open->actions()) shown.append(open->actionGeometry(action));
        image = open->grab().toImage();
        MenuDriver::Dismiss(open);
    });
    QCOMPARE(MenuApi::TrackPopupMenuEx(menu, TrackFlag::ReturnCmd, {0, 0}, owner_.get()), 0u);
    QCOMPARE(shown.size(), 4);
    QCOMPARE(shown[0].size(), QSize(140, 23));
    QCOMPARE(shown[2].height(), 5);
    QCOMPARE(shown[1].top(), shown[0].bottom() + 1);
    // What the owner painted is what the menu shows, inside each item's rectangle.
    QCOMPARE(image.pixelColor(shown[1].center()), QColor(Qt::red));
    MenuApi::DestroyMenu(menu);
}

void tst_MenuApi::dismissAndDisabledItemsChooseNothing() {
    const MenuHandle menu = ThreeItems();
    MenuDriver::DismissNext();
    QCOMPARE(MenuApi::TrackPopupMenuEx(menu, TrackFlag::ReturnCmd, {10, 10}, owner_.get()), 0u);

    bool stillOpen = false;
    MenuApi::SetTrackObserver([&](QMenu* open) {
        MenuDriver::ClickItem(open, 1);              // greyed
        MenuDriver::ClickItem(open, 2);              // separator
        MenuDriver::PressKey(open, Qt::Key_B, "b");  // mnemonic of the greyed item
        stillOpen = open->isVisible();
        MenuDriver::Dismiss(open);
    });
    QCOMPARE(MenuApi::TrackPopupMenuEx(menu, TrackFlag::ReturnCmd, {10, 10}, owner_.get()), 0u);
    QVERIFY(stillOpen);
    MenuApi::DestroyMenu(menu);
}

void tst_MenuApi::choiceWithoutReturnCmdIsPostedToOwner() {
    const MenuHandle menu = ThreeItems();
    MenuApi::SubclassOwner(owner_.get(), &recorder_);
    MenuDriver::ClickNext(0);
    QCOMPARE(MenuApi::TrackPopupMenuEx(menu, 0, {10, 10}, owner_.get()), 1u);
    QCOMPARE(recorder_.Count(MenuMessageType::Command), 0);
    QTRY_COMPARE(recorder_.Count(MenuMessageType::Command), 1);
    QCOMPARE(recorder_.log.last().id, 101u);
    MenuApi::DestroyMenu(menu);
}

void tst_MenuApi::menuCharAnswersAndMnemonics() {
    const MenuHandle menu = ThreeItems();
    MenuApi::ModifyMenu(menu, 102, false, kDrawn, 102, "&Beta");
    MenuApi::SubclassOwner(owner_.get(), &recorder_);
    recorder_.answer = [](MenuMessage& message) {
        if (message.type != MenuMessageType::MenuChar || message.character != 'x') return false;
        message.charAction = MenuCharAction::Execute;
        message.charPosition = 3;
        return true;
    };
    MenuApi::SetTrackObserver([](QMenu* open) { MenuDriver::PressKey(open, Qt::Key_X, "x"); });
    QCOMPARE(MenuApi::TrackPopupMenuEx(menu, TrackFlag::ReturnCmd, {}, owner_.get()), 103u);
    QCOMPARE(recorder_.Count(MenuMessageType::MenuChar), 1);

    // A character the owner leaves alone is matched against the "&" markers.
    MenuApi::SetTrackObserver([](QMenu* open) { MenuDriver::PressKey(open, Qt::Key_B, "b"); });
    QCOMPARE(MenuApi::TrackPopupMenuEx(menu, TrackFlag::ReturnCmd, {}, owner_.get()), 102u);
    MenuApi::DestroyMenu(menu);
}

void tst_MenuApi::subMenuItemChosenThroughKeyboard() {
    const MenuHandle top = MenuApi::CreatePopupMenu();
    const MenuHandle sub = MenuApi::CreatePopupMenu();
    MenuApi::AppendMenu(sub, kDrawn, 401, "Inner one");
    MenuApi::AppendMenu(sub, kDrawn, 402, "Inner two");
    MenuApi::AppendMenu(top, kDrawn | MenuFlag::Popup, sub, "Outer");
    MenuApi::SubclassOwner(owner_.get(), &recorder_);
    MenuApi::SetTrackObserver([](QMenu* open) {
        MenuDriver::PressKey(open, Qt::Key_Down);
        MenuDriver::PressKey(open, Qt::Key_Right);
        // The sub-menu opens with its first item selected.
        auto* inner = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        MenuDriver::PressKey(inner, Qt::Key_Down);
        MenuDriver::PressKey(inner, Qt::Key_Return);
    });
    QCOMPARE(MenuApi::TrackPopupMenuEx(top, TrackFlag::ReturnCmd, {}, owner_.get()), 402u);
    const auto subInit = std::find_if(recorder_.log.begin(), recorder_.log.end(), [sub](auto& m) {
        return m.type == MenuMessageType::InitMenuPopup && m.menu == sub;
    });
    QVERIFY(subInit != recorder_.log.end());
    QVERIFY(!subInit->topLevel);
    QCOMPARE(recorder_.Count(MenuMessageType::UninitMenuPopup), 2);
    MenuApi::DestroyMenu(top);
}

void tst_MenuApi::handlerChainAndOwnerDestruction() {
    auto owner = std::make_unique<QWidget>();
    Recorder first;
    Recorder second;
    QVERIFY(MenuApi::SubclassOwner(owner.get(), &first));
    QVERIFY(MenuApi::SubclassOwner(owner.get(), &second));
    QVERIFY(!MenuApi::SubclassOwner(owner.get(), &second));
    second.answer = [](MenuMessage& m) { return m.type == MenuMessageType::Command; };

    MenuMessage command;
    command.type = MenuMessageType::Command;
    QVERIFY(MenuApi::SendMessage(owner.get(), command));
    QCOMPARE(first.log.size(), 0);  // the most recent handler took it
    MenuMessage select;
    select.type = MenuMessageType::MenuSelect;
    QVERIFY(!MenuApi::SendMessage(owner.get(), select));
    QCOMPARE(first.log.size(), 1);  // passed down the chain

    owner->setFont(QFont("Sans", 31));
    QCOMPARE(second.Count(MenuMessageType::SettingChange), 1);

    QWidget* raw = owner.get();
    owner.reset();
    QCOMPARE(first.Count(MenuMessageType::OwnerDestroyed), 1);
    QCOMPARE(second.Count(MenuMessageType::OwnerDestroyed), 1);
    QVERIFY(!MenuApi::IsSubclassed(raw, &first));
}

QTEST_MAIN(tst_MenuApi)
#include "tst_MenuApi.moc"
