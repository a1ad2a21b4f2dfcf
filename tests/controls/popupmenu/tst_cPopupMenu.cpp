#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

#include "FileContextMenu.h"
#include "MenuApi.h"
#include "MenuDriver.h"
#include "MenuTypes.h"
#include "PopupMenuLayout.h"
#include "Twips.h"
#include "cImageList.h"
#include "cPopupMenu.h"

using zs::MenuApi;
using zs::MenuDriver;

namespace {

// The positions of the file menu's items in the shown menu.
constexpr int kPreview = 0;
constexpr int kDelete = 4;

QFont TestFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    return font;
}

}  // namespace

class tst_cPopupMenu : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void itemsIndexesKeysAndIds();
    void captionSyntaxShapesItems();
    void subMenuHolderTakesTheHandleAsId();
    void outOfRangeIndexesAreHarmless();
    void choosingReturnsTheIndexAndRaisesClick();
    void dismissingReturnsZeroWithoutClick();
    void showsAtTheTwipsPointOfTheOwner();
    void measuresOfficeWidthsWithAndWithoutShortcuts();
    void measuredSizeIsShownAndOwnerDrawCanChangeIt();
    void drawsIconsTextsAndHighlight();
    void framedWithRoomAfterTheLongestCaption();
    void itemsAreAccessibleMenuItems();
    void acceleratorsChooseItems();
    void chevronRevealsInfrequentlyUsedItems();
    void storeAndRestoreKeepItemsSafe();
    void redisplayOnClickReportsAndShowsAgain();
    void ownerDestroyedWhileShownReleasesEverything();

private:
    std::unique_ptr<QWidget> owner_;
    std::unique_ptr<cImageList> images_;
};

void tst_cPopupMenu::init() {
    owner_ = std::make_unique<QWidget>();
    owner_->setGeometry(40, 30, 400, 300);
    owner_->show();
    QVERIFY(QTest::qWaitForWindowExposed(owner_.get()));
    images_ = std::make_unique<cImageList>();
    FileContextMenu::LoadIcons(*images_);
}

void tst_cPopupMenu::cleanup() {
    MenuApi::SetTrackObserver({});
    owner_.reset();
}

void tst_cPopupMenu::itemsIndexesKeysAndIds() {
    cPopupMenu menu;
    FileContextMenu::Build(menu, images_.get(), owner_.get());
    QCOMPARE(menu.Count(), 5);
    QCOMPARE(menu.ItemKey(5), QString("Delete"));
    QCOMPARE(menu.Caption(2), QString("Convert - Single"));
    QCOMPARE(menu.ItemIcon(3), 2);
    QCOMPARE(menu.ItemIcon(4), -1);
    QCOMPARE(menu.IDForItem(1), 2049u);
    QCOMPARE(menu.IDForItem(5), 2053u);
    QCOMPARE(menu.ItemForID(2052), 4);
    QCOMPARE(menu.ItemForID(2048), 0);
    QCOMPARE(zs::MenuApi::GetMenuItemCount(menu.hMenu()), 5);

    // Keys need not be unique: the first item with the key is found.
    menu.AddItem("Again", "", 0, 0, -1, false, true, "Preview");
    QCOMPARE(menu.IndexForKey("Preview"), 1);
    QCOMPARE(menu.IndexForKey("ConvertBatch"), 3);
    QCOMPARE(menu.IndexForKey("Nothing"), 0);

    // A new owner starts a new menu.
    QWidget other;
    menu.sethWndOwner(&other);
    QCOMPARE(menu.Count(), 0);
    QCOMPARE(menu.hMenu(), zs::MenuHandle(0));
    QCOMPARE(menu.AddItem("First"), 1);
    QCOMPARE(menu.IDForItem(1), 2049u);
}

void tst_cPopupMenu::captionSyntaxShapesItems() {
    cPopupMenu menu;
    menu.setImageList(images_.get());
    const int base = menu.BaseHeight();
    QVERIFY(base >= images_->ImageHeight() - 1);

    menu.AddItem("-");
    menu.AddItem("-Files");
    menu.AddItem("&Open\tCtrl+O");
    QCOMPARE(menu.MenuItemHeight(1), 6);
    QVERIFY(menu.Header(2));
    QCOMPARE(menu.Caption(2), QString("Files"));
    QCOMPARE(menu.MenuItemHeight(2), (base * 3 + 18) / 4);
    QCOMPARE(menu.Caption(3), QString("&Open"));
    QCOMPARE(menu.Accelerator(3), QString("O"));
    QCOMPARE(menu.ShortcutText(3), QString("Ctrl+O"));
    QCOMPARE(menu.ShortcutKey(3), quint16(79));
    QCOMPARE(menu.ShortcutModifiers(3), 2);
    QCOMPARE(menu.MenuItemHeight(3), base + 6);

    // Separators and headers cannot be chosen; a changed caption is parsed anew.
    zs::MenuItemInfo info;
    QVERIFY(MenuApi::GetMenuItemInfo(menu.hMenu(), 1, true, info));
    QVERIFY(info.flags & zs::MenuFlag::Separator);
    menu.setCaption(2, "Plain");
    QVERIFY(!menu.Header(2));
    QVERIFY(MenuApi::GetMenuItemInfo(menu.hMenu(), 1, true, info));
    QVERIFY(!(info.flags & zs::MenuFlag::Separator));
    menu.setEnabled(3, false);
    menu.setChecked(3, true);
    QVERIFY(MenuApi::GetMenuItemInfo(menu.hMenu(), 2, true, info));
    QCOMPARE(info.flags & (zs::MenuFlag::Grayed | zs::MenuFlag::Checked),
             zs::MenuFlag::Grayed | zs::MenuFlag::Checked);
}

void tst_cPopupMenu::subMenuHolderTakesTheHandleAsId() {
    cPopupMenu menu;
    menu.AddItem("Top");
    menu.AddItem("Holder");
    const quint32 oldId = menu.IDForItem(2);
    QCOMPARE(menu.AddItem("Child", "", 0, 2), 3);
    QCOMPARE(menu.ItemParentIndex(3), 2);
    const quint32 holderId = menu.IDForItem(2);
    QVERIFY(holderId != oldId);
    QVERIFY(MenuApi::IsMenu(holderId));
    QCOMPARE(menu.ItemForID(holderId), 2);
    QCOMPARE(MenuApi::GetMenuItemCount(holderId), 1);
    QCOMPARE(MenuApi::GetMenuItemCount(menu.hMenu()), 2);
    // The next ID skips every ID and handle in use.
    QVERIFY(menu.IDForItem(3) > oldId);

    // Removing the holder takes its sub-menu with it.
    QVERIFY(menu.RemoveItem(2));
    QCOMPARE(menu.Count(), 1);
    QVERIFY(!MenuApi::IsMenu(holderId));
    QCOMPARE(menu.InsertItem(1, "Before"), 1);
    QCOMPARE(menu.Caption(2), QString("Top"));
    QCOMPARE(MenuApi::GetMenuItemCount(menu.hMenu()), 2);
}

void tst_cPopupMenu::outOfRangeIndexesAreHarmless() {
    cPopupMenu menu;
    QCOMPARE(menu.ShowPopupMenu(0, 0), 0);  // empty menu
    menu.AddItem("Only");
    QCOMPARE(menu.ShowPopupMenu(0, 0), 0);  // no owner to show it for
    for (int index : {-1, 0, 2}) {
        QCOMPARE(menu.ItemKey(index), QString());
        QCOMPARE(menu.IDForItem(index), 0u);
        menu.setChecked(index, true);
        menu.setCaption(index, "x");
        QVERIFY(!menu.RemoveItem(index));
        QVERIFY(!menu.EmulateMenuClick(index));
    }
    QCOMPARE(menu.Count(), 1);
    QCOMPARE(menu.AddItem("Orphan", "", 0, 7), 2);
    QCOMPARE(menu.ItemParentIndex(2), 0);
}

void tst_cPopupMenu::choosingReturnsTheIndexAndRaisesClick() {
    cPopupMenu menu;
    FileContextMenu::Build(menu, images_.get(), owner_.get());
    QSignalSpy clicks(&menu, &cPopupMenu::Click);
    QSignalSpy exits(&menu, &cPopupMenu::MenuExit);
    QSignalSpy inits(&menu, &cPopupMenu::InitPopupMenu);
    QSignalSpy highlights(&menu, &cPopupMenu::ItemHighlight);
    MenuDriver::ClickNext(kDelete);
    const int index = menu.ShowPopupMenu(150, 150, 0, 0, 0, 0, true);
    QCOMPARE(index, 5);
    QCOMPARE(menu.ItemKey(index), QString("Delete"));
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.first().first().toInt(), 5);
    QCOMPARE(exits.size(), 1);
    QCOMPARE(inits.size(), 1);
    QCOMPARE(inits.first().first().toInt(), 0);
    QVERIFY(!highlights.isEmpty());
    QCOMPARE(highlights.last().first().toInt(), 5);
    // The owner is released from the menu once it is closed.
    QVERIFY(!MenuApi::IsSubclassed(owner_.get(), nullptr));
}

void tst_cPopupMenu::dismissingReturnsZeroWithoutClick() {
    cPopupMenu menu;
    FileContextMenu::Build(menu, images_.get(), owner_.get());
    QSignalSpy clicks(&menu, &cPopupMenu::Click);
    MenuDriver::DismissNext();
    QCOMPARE(menu.ShowPopupMenu(150, 150, 0, 0, 0, 0, true), 0);
    QCOMPARE(clicks.size(), 0);

    // A click on the separator neither chooses nor closes.
    bool open = false;
    MenuApi::SetTrackObserver([&open](QMenu* shown) {
        MenuDriver::ClickItem(shown, 3);
        open = shown->isVisible();
        MenuDriver::Dismiss(shown);
    });
    QCOMPARE(menu.ShowPopupMenu(150, 150, 0, 0, 0, 0, true), 0);
    QVERIFY(open);
    QCOMPARE(clicks.size(), 0);
}

void tst_cPopupMenu::showsAtTheTwipsPointOfTheOwner() {
    cPopupMenu menu;
    FileContextMenu::Build(menu, images_.get(), owner_.get());
    QPoint shownAt;
    MenuApi::SetTrackObserver([&shownAt](QMenu* shown) {
        shownAt = shown->pos();
        MenuDriver::Dismiss(shown);
    });
    menu.ShowPopupMenu(1500, 750, 0, 0, 0, 0, true);
    const QPoint expected =
        owner_->mapToGlobal(QPoint(zs::TwipsToPixels(1500), zs::TwipsToPixels(750)));
    QCOMPARE(shownAt, expected);

    // An exclusion rectangle under the point pushes the menu to its right.
    MenuApi::SetTrackObserver([&shownAt](QMenu* shown) {
        shownAt = shown->pos();
        MenuDriver::Dismiss(shown);
    });
    menu.ShowPopupMenu(1500, 750, 0, 0, 3000, 3000, true);
    QCOMPARE(shownAt.x(), owner_->mapToGlobal(QPoint(zs::TwipsToPixels(3000), 0)).x());
}

void tst_cPopupMenu::measuresOfficeWidthsWithAndWithoutShortcuts() {
    cPopupMenu menu;
    menu.sethWndOwner(owner_.get());
    menu.setImageList(images_.get());
    menu.setFont(TestFont());
    menu.setOfficeXpStyle(true);
    menu.AddItem("Preview");
    menu.AddItem("Convert - Batch");
    menu.AddItem("-");
    MenuDriver::DismissNext();
    menu.ShowPopupMenu(0, 0);

    const QFontMetrics metrics(TestFont());
    const int base = menu.BaseHeight();
    const int widest = metrics.horizontalAdvance("Convert - Batch") + 4;
    QCOMPARE(menu.MenuItemWidth(1), base + widest + 14);
    QCOMPARE(menu.MenuItemWidth(2), base + widest + 14);
    QCOMPARE(menu.MenuItemHeight(1), base + 6);
    QCOMPARE(menu.MenuItemWidth(3), 8);
    QCOMPARE(menu.MenuItemHeight(3), 3);

    // With shortcut texts every item widens by 12 and the shortcuts line up on the right.
    menu.AddItem("&Open\tCtrl+O");
    menu.AddItem("Save &All\tCtrl+Shift+S");
    MenuDriver::DismissNext();
    menu.ShowPopupMenu(0, 0);
    const int openTotal =
        metrics.horizontalAdvance("Open") + 4 + metrics.horizontalAdvance("Ctrl+O");
    const int saveTotal =
        metrics.horizontalAdvance("Save All") + 4 + metrics.horizontalAdvance("Ctrl+Shift+S");
    const int withShortcuts = std::max({widest, openTotal, saveTotal});
    QCOMPARE(menu.MenuItemWidth(1), base + withShortcuts + 14 + 12);
    QCOMPARE(menu.MenuItemWidth(5), base + withShortcuts + 14 + 12);
    QCOMPARE(menu.ShortcutOffset(4) + metrics.horizontalAdvance("Ctrl+O"), withShortcuts + 10);
    QCOMPARE(menu.ShortcutOffset(5) + metrics.horizontalAdvance("Ctrl+Shift+S"),
             withShortcuts + 10);

    // The classic look draws taller separators and no extra caption margin.
    menu.setOfficeXpStyle(false);
    MenuDriver::DismissNext();
    menu.ShowPopupMenu(0, 0);
    QCOMPARE(menu.MenuItemHeight(3), 8);
}

void tst_cPopupMenu::measuredSizeIsShownAndOwnerDrawCanChangeIt() {
    cPopupMenu menu;
    FileContextMenu::Build(menu, images_.get(), owner_.get());
    menu.setOwnerDraw(2, true);
    connect(&menu, &cPopupMenu::MeasureItem, this, [](int& height, int&, int index) {
        if (index == 2) height = 40;
    });
    QList<int> shownHeights;
    MenuApi::SetTrackObserver([&shownHeights](QMenu* shown) {
        for (QAction* action : shown->actions()) {
            shownHeights.append(shown->actionGeometry(action).height());
        }
        MenuDriver::Dismiss(shown);
    });
    menu.ShowPopupMenu(0, 0);
    QCOMPARE(shownHeights.size(), 5);
    for (int i = 0; i < 5; ++i) QCOMPARE(shownHeights[i], menu.MenuItemHeight(i + 1));
    QCOMPARE(shownHeights[1], 40);
}

void tst_cPopupMenu::drawsIconsTextsAndHighlight() {
    cPopupMenu menu;
    FileContextMenu::Build(menu, images_.get(), owner_.get());
    QImage image;
    QList<QRect> rects;
    MenuApi::SetTrackObserver([&](QMenu* shown) {
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        shown->setActiveAction(shown->actions().at(kPreview));
        for (QAction* action : shown->actions()) rects.append(shown->actionGeometry(action));
        image = shown->grab().toImage();
        MenuDriver::Dismiss(shown);
    });
    menu.ShowPopupMenu(0, 0);
    QCOMPARE(rects.size(), 5);
    if (qEnvironmentVariableIsSet("ZS_SAVE_MENU_IMAGE")) image.save("popupmenu.png");

    const int base = menu.BaseHeight();
    auto count = [&image](const QRect& area, auto&& predicate) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += predicate(image.pixelColor(x, y));
        return n;
    };
    auto reddish = [](const QColor& c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
    auto greenish = [](const QColor& c) {
        return c.green() > 120 && c.red() < 90 && c.blue() < 90;
    };
    auto dark = [](const QColor& c) { return c.lightness() < 100; };

    const QRect deleteIcon(rects[4].left(), rects[4].top(), base + 4, rects[4].height());
    const QRect convertIcon(rects[1].left(), rects[1].top(), base + 4, rects[1].height());
    QVERIFY(count(deleteIcon, reddish) > 10);
    QVERIFY(count(convertIcon, greenish) > 10);
    QCOMPARE(count(rects[3].adjusted(0, 0, 0, 0), reddish), 0);
    const QRect deleteText = rects[4].adjusted(base + 6, 0, 0, 0);
    QVERIFY(count(deleteText, dark) > 15);
    // The highlighted item's background differs from a plain item's.
    const QPoint plain = rects[2].topRight() + QPoint(-6, 4);
    const QPoint lit = rects[0].topRight() + QPoint(-6, 4);
    QVERIFY(image.pixelColor(plain) != image.pixelColor(lit));
}

// Over a white list the menu's edge must show, and the longest caption keep
// clear of it.
void tst_cPopupMenu::framedWithRoomAfterTheLongestCaption() {
    cPopupMenu menu;
    FileContextMenu::Build(menu, images_.get(), owner_.get());
    QImage image;
    QRect single;
    MenuApi::SetTrackObserver([&](QMenu* shown) {
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        single = shown->actionGeometry(shown->actions().at(1));
        image = shown->grab().toImage();
        MenuDriver::Dismiss(shown);
    });
    menu.ShowPopupMenu(0, 0);
    QVERIFY(!image.isNull());
    const QColor frame = image.pixelColor(0, 0);
    QVERIFY(frame.lightness() < 200);
    const int right = image.width() - 1;  // no shadow on this platform
    for (int y = 0; y < image.height(); ++y) {
        QCOMPARE(image.pixelColor(0, y), frame);
        QCOMPARE(image.pixelColor(right, y), frame);
    }
    for (int x = 0; x <= right; ++x) QCOMPARE(image.pixelColor(x, 0), frame);
    int lastInk = 0;
    for (int x = single.left(); x < right; ++x)
        for (int y = single.top(); y <= single.bottom(); ++y)
            if (image.pixelColor(x, y).lightness() < 100) lastInk = x;
    QVERIFY2(right - lastInk >= 16, qPrintable(QString::number(right - lastInk)));
    // The padding continues the item's own background.
    QCOMPARE(image.pixelColor(right - 2, single.center().y()),
             image.pixelColor(single.right() - 2, single.center().y()));
}

void tst_cPopupMenu::itemsAreAccessibleMenuItems() {
    cPopupMenu menu;
    FileContextMenu::Build(menu, images_.get(), owner_.get());
    menu.setCaption(2, "Convert - &Single\tCtrl+O");
    menu.setEnabled(3, false);
    menu.setChecked(1, true);
    QSignalSpy clicks(&menu, &cPopupMenu::Click);
    QStringList names;
    QString accelerator;
    bool disabled = false;
    bool checked = false;
    MenuApi::SetTrackObserver([&](QMenu* shown) {
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(shown);
        QVERIFY(list);
        QCOMPARE(list->childCount(), 5);
        for (int i = 0; i < list->childCount(); ++i) {
            names.append(list->child(i)->text(QAccessible::Name));
        }
        QCOMPARE(list->child(kPreview)->role(), QAccessible::MenuItem);
        accelerator = list->child(1)->text(QAccessible::Accelerator);
        disabled = list->child(2)->state().disabled;
        checked = list->child(kPreview)->state().checked;
        QAccessibleActionInterface* actions = list->child(kDelete)->actionInterface();
        QVERIFY(actions);
        actions->doAction(QAccessibleActionInterface::pressAction());
    });
    QCOMPARE(menu.ShowPopupMenu(0, 0), 5);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(names, QStringList({"Preview", "Convert - Single", "Convert - Batch", "", "Delete"}));
    QCOMPARE(accelerator, QString("Ctrl+O"));
    QVERIFY(disabled);
    QVERIFY(checked);
}

void tst_cPopupMenu::acceleratorsChooseItems() {
    cPopupMenu menu;
    menu.sethWndOwner(owner_.get());
    menu.AddItem("&Open");
    menu.AddItem("&Save");
    menu.AddItem("&Summary");
    MenuApi::SetTrackObserver([](QMenu* shown) { MenuDriver::PressKey(shown, Qt::Key_S, "s"); });
    QCOMPARE(menu.ShowPopupMenu(0, 0), 2);  // the first item with that accelerator

    menu.setAcceleratorsActive(false);
    bool open = false;
    MenuApi::SetTrackObserver([&open](QMenu* shown) {
        MenuDriver::PressKey(shown, Qt::Key_O, "o");
        open = shown->isVisible();
        MenuDriver::Dismiss(shown);
    });
    QCOMPARE(menu.ShowPopupMenu(0, 0), 0);
    QVERIFY(open);
}

void tst_cPopupMenu::chevronRevealsInfrequentlyUsedItems() {
    cPopupMenu menu;
    menu.sethWndOwner(owner_.get());
    menu.AddItem("Common");
    menu.AddItem("Rare");
    menu.setItemInfrequentlyUsed(2, true);
    menu.setHideInfrequentlyUsed(true);
    QSignalSpy clicks(&menu, &cPopupMenu::Click);
    QList<int> visibleCounts;
    MenuApi::SetTrackObserver([&visibleCounts](QMenu* shown) {
        int visible = 0;
        for (QAction* action : shown->actions()) visible += action->isVisible();
        visibleCounts.append(visible);
        const int last = int(shown->actions().size()) - 1;
        if (visibleCounts.size() == 1) {
            MenuDriver::ClickItem(shown, last);  // the chevron
        } else {
            MenuDriver::ClickItem(shown, 1);  // the revealed item
        }
    });
    QCOMPARE(menu.ShowPopupMenu(0, 0), 2);
    QCOMPARE(visibleCounts, QList<int>({2, 2}));  // "Common" + chevron, then both items
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(MenuApi::GetMenuItemCount(menu.hMenu()), 2);  // the chevron is gone again
}

void tst_cPopupMenu::storeAndRestoreKeepItemsSafe() {
    cPopupMenu menu;
    menu.AddItem("&Open\tCtrl+O", "Opens", 7, 0, 1, true, false, "open");
    menu.AddItem("Recent");
    menu.AddItem("One", "", 0, 2);
    menu.setDefault(1, true);
    QVERIFY(menu.Store("main"));
    menu.Clear();
    QVERIFY(!menu.Restore("missing"));
    QVERIFY(menu.Restore("main"));
    QCOMPARE(menu.CurrentlyRestoredKey(), QString("main"));
    QCOMPARE(menu.Count(), 3);
    QCOMPARE(menu.ShortcutText(1), QString("Ctrl+O"));
    QCOMPARE(menu.HelpText(1), QString("Opens"));
    QCOMPARE(menu.ItemData(1), qintptr(7));
    QVERIFY(menu.Checked(1) && !menu.Enabled(1) && menu.Default(1));
    QCOMPARE(menu.ItemParentIndex(3), 2);

    QTemporaryDir dir;
    const QString path = dir.filePath("menu.json");
    QVERIFY(menu.StoreToFile(path));
    cPopupMenu copy;
    QVERIFY(copy.RestoreFromFile(path));
    QCOMPARE(copy.Count(), 3);
    QCOMPARE(copy.ItemKey(1), QString("open"));

    // A broken file changes nothing.
    QFile broken(dir.filePath("broken.json"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write(
        R"({"format":"zephyra-popup-menu","version":1,"items":[{"caption":"x","parent":5}]})");
    broken.close();
    QVERIFY(!copy.RestoreFromFile(broken.fileName()));
    QVERIFY(!copy.RestoreFromFile(dir.filePath("absent.json")));
    QCOMPARE(copy.Count(), 3);
    QVERIFY(!menu.StoreToFile(dir.filePath("no/such/folder/menu.json")));
}

void tst_cPopupMenu::redisplayOnClickReportsAndShowsAgain() {
    cPopupMenu menu;
    menu.sethWndOwner(owner_.get());
    menu.AddItem("Toggle");
    menu.AddItem("Close");
    menu.setRedisplayMenuOnClick(1, true);
    QSignalSpy clicks(&menu, &cPopupMenu::Click);
    int showings = 0;
    MenuApi::SetTrackObserver(
        [&showings](QMenu* shown) { MenuDriver::ClickItem(shown, ++showings < 3 ? 0 : 1); });
    QCOMPARE(menu.ShowPopupMenu(0, 0), 2);
    QCOMPARE(showings, 3);
    QCOMPARE(clicks.size(), 3);
    QCOMPARE(clicks.at(0).first().toInt(), 1);
    QCOMPARE(clicks.at(2).first().toInt(), 2);
}

void tst_cPopupMenu::ownerDestroyedWhileShownReleasesEverything() {
    cPopupMenu menu;
    FileContextMenu::Build(menu, images_.get(), owner_.get());
    const zs::MenuHandle top = menu.hMenu();
    QSignalSpy clicks(&menu, &cPopupMenu::Click);
    MenuApi::SetTrackObserver([this](QMenu*) { owner_.reset(); });
    QCOMPARE(menu.ShowPopupMenu(0, 0), 0);
    QCOMPARE(clicks.size(), 0);
    QCOMPARE(menu.Count(), 0);
    QCOMPARE(menu.hWndOwner(), nullptr);
    QVERIFY(!MenuApi::IsMenu(top));
}

QTEST_MAIN(tst_cPopupMenu)
#include "tst_cPopupMenu.moc"
