#pragma once

#include <QList>
#include <QMenu>
#include <QPixmap>

#include "MenuMessage.h"

namespace zs {

// The QMenu behind one menu handle: its items in order, each with the ID, flags,
// item data and text it was given. Owner-drawn items are widget actions whose size
// and look come from the owner of the menu being tracked.
class PlatformMenu : public QMenu {
    Q_OBJECT
public:
    struct Entry {
        quint32 id = 0;  // command ID, or the sub-menu handle of a sub-menu item
        quint32 flags = 0;
        qintptr itemData = 0;
        QString text;
        QAction* action = nullptr;
    };

    explicit PlatformMenu(MenuHandle handle);

    MenuHandle Handle() const { return handle_; }
    int Count() const { return entries_.size(); }
    const Entry& At(int position) const { return entries_.at(position); }
    // Position of an item given by position or by ID (first match), or -1.
    int PositionOf(quint32 item, bool byPosition) const;

    // subMenu is the QMenu of a MenuFlag::Popup item (null otherwise).
    void Append(const Entry& entry, QMenu* subMenu);
    void Replace(int position, const Entry& entry, QMenu* subMenu);
    void Remove(int position);
    void SetItemData(int position, qintptr data);
    // Turns items that open subMenu into plain items (the sub-menu is going away).
    void DetachSubMenu(QMenu* subMenu);

    // Asks the owner for the sizes of the owner-drawn items.
    void Measure();
    // Sends InitMenuPopup and measures now; the next opening then sends nothing more.
    void PrepareTopLevel();
    // Paints an owner-drawn item: the owner draws it, or a plain default look.
    // Without showSelection the item is drawn unselected whatever the pointer does.
    void DrawEntry(QPainter& painter, const QRect& rect, QAction* action,
                   bool showSelection = true);

signals:
    void Chosen(quint32 id);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QAction* MakeAction(const Entry& entry, QMenu* subMenu);
    void ApplyState(QAction* action, const Entry& entry, QMenu* subMenu) const;
    int PositionOfAction(const QAction* action) const;
    MenuMessage ItemMessage(MenuMessageType type, int position) const;
    QSize DefaultSize(const Entry& entry) const;
    void DrawDefault(QPainter& painter, const QRect& rect, const Entry& entry, quint32 state) const;
    bool AnswerMenuChar(const QString& text);
    void OnAboutToShow();
    void OnAboutToHide();
    void OnHovered(QAction* action);
    void OnTriggered(QAction* action);

    // Where the window system lets us read the screen, a shadow falls on what
    // lies below the menu's right and bottom edges: shadow_ pixels of the menu
    // window show that, darkened.
    int shadow_ = 0;
    QPixmap below_;
    MenuHandle handle_;
    QList<Entry> entries_;
    bool prepared_ = false;
    bool topLevel_ = false;
};

}  // namespace zs
