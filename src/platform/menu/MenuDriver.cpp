#include "MenuDriver.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "MenuApi.h"

namespace zs {

namespace {

void SendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

}  // namespace

void MenuDriver::ClickItem(QMenu* menu, int position) {
    const QList<QAction*> actions = menu->actions();
    if (position < 0 || position >= actions.size()) return;
    const QPoint inMenu = menu->actionGeometry(actions[position]).center();
    QWidget* target = menu->childAt(inMenu);
    if (!target) target = menu;
    const QPoint local = target->mapFrom(menu, inMenu);
    SendMouse(target, QEvent::MouseMove, local, Qt::NoButton);
    SendMouse(target, QEvent::MouseButtonPress, local, Qt::LeftButton);
    SendMouse(target, QEvent::MouseButtonRelease, local, Qt::NoButton);
}

void MenuDriver::PressKey(QMenu* menu, Qt::Key key, const QString& text,
                          Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(menu, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(menu, &release);
}

void MenuDriver::Dismiss(QMenu* menu) {
    PressKey(menu, Qt::Key_Escape);
}

void MenuDriver::ClickNext(int position) {
    MenuApi::SetTrackObserver([position](QMenu* menu) {
        MenuApi::SetTrackObserver({});
        ClickItem(menu, position);
    });
}

void MenuDriver::DismissNext() {
    MenuApi::SetTrackObserver([](QMenu* menu) {
        MenuApi::SetTrackObserver({});
        Dismiss(menu);
    });
}

}  // namespace zs
