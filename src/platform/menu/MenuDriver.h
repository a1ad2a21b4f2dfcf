#pragma once

#include <QString>
#include <Qt>

class QMenu;

namespace zs {

// Drives an open menu with the input a user would give, without a human: for tests
// of the menus and of the windows that show them. Positions are 0-based item positions.
class MenuDriver {
public:
    // Moves the mouse onto the item and clicks it with the left button. The events go
    // to the widget under the point, as the window system would deliver them.
    static void ClickItem(QMenu* menu, int position);
    // Presses and releases a key in the menu; text is what the key types ("" for none).
    static void PressKey(QMenu* menu, Qt::Key key, const QString& text = {},
                         Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Closes the menu with Escape, as a dismissal.
    static void Dismiss(QMenu* menu);

    // One-shot scripts for the next menu tracked through MenuApi: click the item at
    // position, or dismiss the menu. They remove themselves after use.
    static void ClickNext(int position);
    static void DismissNext();
};

}  // namespace zs
