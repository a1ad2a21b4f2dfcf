#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "MenuMessageHandler.h"
#include "cImageList.h"
#include "cPopupMenuItem.h"

class QPainter;
struct MenuItemLook;

// A popup menu built from a flat list of items, shown at a point of its owner window,
// drawn by itself (icons from an image list, office-style or classic look) and
// reporting the chosen item. Items are addressed by their 1-based index in the order
// they were added; an index out of range reads as empty/0/false and is ignored by
// setters. Failed platform calls are not reported: the menu simply lacks that part.
//
// Captions: "-" is a separator; "-Text" a header; "&" marks the accelerator; a tab
// separates the shortcut text ("&Open\tCtrl+O"); "|" and "^" set the column-break and
// break flags ("||" and "^^" are literal).
class cPopupMenu : public QObject, private zs::MenuMessageHandler {
    Q_OBJECT
public:
    explicit cPopupMenu(QObject* parent = nullptr);
    ~cPopupMenu() override;

    // Owner window: positions are in its client coordinates. Setting it clears the items.
    QWidget* hWndOwner() const { return owner_; }
    void sethWndOwner(QWidget* owner);
    cImageList* ImageList() const { return images_; }
    void setImageList(cImageList* images);
    bool OfficeXpStyle() const { return office_; }
    void setOfficeXpStyle(bool on) { office_ = on; }
    // The caption font; the platform's menu font until one is set.
    QFont Font() const { return font_; }
    void setFont(const QFont& font);
    bool HideInfrequentlyUsed() const { return hideInfrequent_; }
    void setHideInfrequentlyUsed(bool on) { hideInfrequent_ = on; }
    bool HighlightCheckedItems() const { return highlightChecked_; }
    void setHighlightCheckedItems(bool on) { highlightChecked_ = on; }
    bool NoMenuAnimation() const { return noAnimation_; }
    void setNoMenuAnimation(bool on) { noAnimation_ = on; }
    bool GradientHighlight() const { return gradient_; }
    void setGradientHighlight(bool on) { gradient_ = on; }
    bool ButtonHighlight() const { return button_; }
    void setButtonHighlight(bool on) { button_ = on; }
    // 0: title on a shaded band; 1: underlined title.
    int HeaderStyle() const { return headerStyle_; }
    void setHeaderStyle(int style) { headerStyle_ = style; }
    // Image-list indexes drawn for check and radio marks; -1 draws a glyph.
    int TickIconIndex() const { return tickIcon_; }
    void setTickIconIndex(int index) { tickIcon_ = index; }
    int OptionIconIndex() const { return optionIcon_; }
    void setOptionIconIndex(int index) { optionIcon_ = index; }
    QPixmap BackgroundPicture() const { return background_; }
    void setBackgroundPicture(const QPixmap& picture) { background_ = picture; }
    void ClearBackgroundPicture() { background_ = QPixmap(); }
    // Highlighted icons are drawn raised, with a shadow.
    bool ImageProcessHighlights() const { return imageProcess_; }
    void setImageProcessHighlights(bool on) { imageProcess_ = on; }
    // Typed characters choose items by their accelerator, which is shown underlined.
    bool AcceleratorsActive() const { return accelerators_; }
    void setAcceleratorsActive(bool on) { accelerators_ = on; }
    // Colours as stored numbers (see zs::TranslateColor); -1 uses the system colour.
    qint64 ActiveMenuForeColor() const { return activeFore_; }
    void setActiveMenuForeColor(qint64 color) { activeFore_ = color; }
    qint64 ActiveMenuBackgroundColor() const { return activeBack_; }
    void setActiveMenuBackgroundColor(qint64 color) { activeBack_ = color; }
    qint64 InActiveMenuForeColor() const { return inactiveFore_; }
    void setInActiveMenuForeColor(qint64 color) { inactiveFore_ = color; }
    qint64 MenuBackgroundColor() const { return menuBack_; }
    void setMenuBackgroundColor(qint64 color) { menuBack_ = color; }
    QString Tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }
    int Count() const { return int(items_.size()); }
    // The top-level platform menu; 0 before the first item.
    zs::MenuHandle hMenu() const { return top_; }
    // B: the base height items are measured from.
    int BaseHeight() const { return base_; }

    // Appends an item; lParentIndex names the item whose sub-menu holds it (0: top
    // level; an index that is not an earlier item counts as 0). Returns the new index.
    int AddItem(const QString& sCaption, const QString& sHelptext = {}, qintptr lItemData = 0,
                int lParentIndex = 0, int lIconIndex = -1, bool bChecked = false,
                bool bEnabled = true, const QString& sKey = {});
    // Inserts before lIndex (Count() + 1 appends); parent indexes after it move along.
    // Returns the new item's index, or 0 when lIndex is out of range.
    int InsertItem(int lIndex, const QString& sCaption, const QString& sHelptext = {},
                   qintptr lItemData = 0, int lParentIndex = 0, int lIconIndex = -1,
                   bool bChecked = false, bool bEnabled = true, const QString& sKey = {});
    // Gives the item a new caption, help text, data, icon, states and key; keeps its
    // place, parent and sub-items.
    bool ReplaceItem(int lIndex, const QString& sCaption, const QString& sHelptext = {},
                     qintptr lItemData = 0, int lIconIndex = -1, bool bChecked = false,
                     bool bEnabled = true, const QString& sKey = {});
    // Removes the item and every item of its sub-menu.
    bool RemoveItem(int lIndex);
    // Removes every item of the item's sub-menu; the item becomes a plain item again.
    void ClearSubMenusOfItem(int lIndex);
    void Clear();

    int IndexForKey(const QString& sKey) const;  // first match, 0 for none
    QString ItemKey(int lIndex) const;
    void setItemKey(int lIndex, const QString& sKey);
    qintptr ItemData(int lIndex) const;
    void setItemData(int lIndex, qintptr lData);
    int ItemParentIndex(int lIndex) const;
    int ItemIcon(int lIndex) const;
    void setItemIcon(int lIndex, int lIconIndex);
    bool ItemInfrequentlyUsed(int lIndex) const;
    void setItemInfrequentlyUsed(int lIndex, bool on);
    bool Checked(int lIndex) const;
    void setChecked(int lIndex, bool on);
    bool RadioCheck(int lIndex) const;
    void setRadioCheck(int lIndex, bool on);
    bool ShowCheckAndIcon(int lIndex) const;
    void setShowCheckAndIcon(int lIndex, bool on);
    bool RedisplayMenuOnClick(int lIndex) const;
    void setRedisplayMenuOnClick(int lIndex, bool on);
    bool Enabled(int lIndex) const;
    void setEnabled(int lIndex, bool on);
    bool Visible(int lIndex) const;
    void setVisible(int lIndex, bool on);
    bool Header(int lIndex) const;
    void setHeader(int lIndex, bool on);
    bool OwnerDraw(int lIndex) const;
    void setOwnerDraw(int lIndex, bool on);
    bool Default(int lIndex) const;
    void setDefault(int lIndex, bool on);
    // The shown caption; setting it applies the caption syntax anew.
    QString Caption(int lIndex) const;
    void setCaption(int lIndex, const QString& sCaption);
    QString HelpText(int lIndex) const;
    void setHelpText(int lIndex, const QString& sHelpText);
    // Parsed from the caption.
    QString Accelerator(int lIndex) const;
    QString ShortcutText(int lIndex) const;
    quint16 ShortcutKey(int lIndex) const;
    int ShortcutModifiers(int lIndex) const;
    bool ColumnBreak(int lIndex) const;
    bool Break(int lIndex) const;
    // Checks the item and unchecks the other radio items of its group: the run of
    // items of the same menu between separators.
    void GroupToggle(int lIndex);
    quint32 IDForItem(int lIndex) const;
    int ItemForID(quint32 id) const;
    int MenuItemHeight(int lIndex) const;
    int MenuItemWidth(int lIndex) const;
    // Where the shortcut text starts, in pixels from the caption's start.
    int ShortcutOffset(int lIndex) const;

    // Shows the menu at (lLeft, lTop), in twips in the owner's client coordinates, kept
    // clear of the exclusion rectangle (same units; ignored when it has no width and no
    // height), and waits for the user. Returns the chosen item's index and raises
    // Click(index), or returns 0 when the menu was dismissed, is empty or has no owner.
    // bTryToKeepLeft false moves the menu off the exclusion vertically first.
    int ShowPopupMenu(int lLeft, int lTop, int lExcludeLeft = 0, int lExcludeTop = 0,
                      int lExcludeRight = 0, int lExcludeBottom = 0, bool bTryToKeepLeft = true);
    // Shows only the sub-menu of item lIndex; 0 when it has none.
    int ShowPopupMenuAtIndex(int lIndex, int lLeft, int lTop, int lExcludeLeft = 0,
                             int lExcludeTop = 0, int lExcludeRight = 0, int lExcludeBottom = 0,
                             bool bTryToKeepLeft = true);
    // Shows the menu at a point in screen pixels.
    int ShowPopupAbsolute(int lLeft, int lTop, bool bTryToKeepLeft = true);
    // Raises Click for an item that could be chosen; false for any other.
    bool EmulateMenuClick(int lIndex);
    // Shows the infrequently used items in the menu being shown, or in the next showing.
    void ToolbarMenuChevronPress();

    // Keeps the owner's menu messages coming to this menu between showings (commands
    // posted to the owner then raise Click). Both are harmless when repeated.
    bool CreateSubClass();
    void DestroySubClass();

    // Saves the items under a key in this object, or restores them (replacing the
    // current items); false for an unknown key.
    bool Store(const QString& sKey);
    bool Restore(const QString& sKey);
    QString CurrentlyRestoredKey() const { return restoredKey_; }
    // The same through a file; a failed read or write returns false and changes nothing.
    bool StoreToFile(const QString& sFileName) const;
    bool RestoreFromFile(const QString& sFileName);

signals:
    void Click(int index);
    void ItemHighlight(int index);
    void MenuExit();
    void InitPopupMenu(int parentIndex);
    void UnInitPopupMenu(int parentIndex);
    // For OwnerDraw items, after the menu drew its own look: the receiver may paint over.
    void DrawItem(QPainter* painter, const QRect& rect, int index, bool selected);
    // For OwnerDraw items: the receiver may change the measured size.
    void MeasureItem(int& height, int& width, int index);

private:
    bool HandleMenuMessage(zs::MenuMessage& message) override;
    bool Valid(int lIndex) const { return lIndex >= 1 && lIndex <= Count(); }
    cPopupMenuItem* Item(int lIndex);
    const cPopupMenuItem* Item(int lIndex) const;
    cPopupMenuItem MakeItem(const QString& caption, const QString& help, qintptr data,
                            int parentIndex, int icon, bool checked, bool enabled,
                            const QString& key) const;
    void ApplyCaption(cPopupMenuItem& item, const QString& raw) const;
    quint32 NewID();
    bool IdInUse(quint32 id) const;
    zs::MenuHandle NewSubMenu();
    void AttachToPlatform(int lIndex);
    void SyncItem(int lIndex);
    int PositionInMenu(int lIndex) const;
    quint32 PlatformFlags(const cPopupMenuItem& item) const;
    QString PlatformText(const cPopupMenuItem& item) const;
    void RebuildPlatform();
    void DestroyPlatform();
    void RecomputeBase();
    bool IsShown(const cPopupMenuItem& item) const;
    void SyncChevron(bool showing);

    int Track(zs::MenuHandle menu, QPoint screenPoint, const QRect& exclude, bool tryToKeepLeft);
    QRect ExclusionRect(int left, int top, int right, int bottom) const;
    void OnMeasure(zs::MenuMessage& message);
    void OnDraw(zs::MenuMessage& message);
    void OnSelect(const zs::MenuMessage& message);
    void OnMenuChar(zs::MenuMessage& message);
    void OnCommand(quint32 id);
    int ParentIndexOfMenu(zs::MenuHandle menu) const;
    MenuItemLook BaseLook(const QRect& rect, quint32 state) const;
    MenuItemLook LookFor(int lIndex, const QRect& rect, quint32 state) const;

    QByteArray Serialize() const;
    bool Deserialize(const QByteArray& data);

    QPointer<QWidget> owner_;
    QPointer<cImageList> images_;
    QList<cPopupMenuItem> items_;
    zs::MenuHandle top_ = 0;
    quint32 idCounter_ = 2048;
    quint32 chevronId_ = 0;
    bool chevronShown_ = false;
    bool expanded_ = false;
    bool expandRequested_ = false;
    bool tracking_ = false;
    bool subclassed_ = false;  // by CreateSubClass
    quint32 highlightedId_ = 0;
    QTimer chevronTimer_;

    QFont font_;
    bool fontSet_ = false;
    int base_ = 16;
    bool office_ = false;
    bool hideInfrequent_ = false;
    bool highlightChecked_ = true;
    bool noAnimation_ = false;
    bool gradient_ = false;
    bool button_ = false;
    int headerStyle_ = 0;
    int tickIcon_ = -1;
    int optionIcon_ = -1;
    QPixmap background_;
    bool imageProcess_ = false;
    bool accelerators_ = true;
    qint64 activeFore_ = -1;
    qint64 activeBack_ = -1;
    qint64 inactiveFore_ = -1;
    qint64 menuBack_ = -1;
    QString tag_;
    QHash<QString, QByteArray> stored_;
    QString restoredKey_;
};
