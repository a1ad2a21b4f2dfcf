#include "OwnerHook.h"

#include <QEvent>
#include <QWidget>

namespace zs {

OwnerHook::OwnerHook(QWidget* owner) {
    owner->installEventFilter(this);
}

bool OwnerHook::Add(MenuMessageHandler* handler) {
    if (!handler || handlers_.contains(handler)) return false;
    handlers_.append(handler);
    return true;
}

bool OwnerHook::Remove(MenuMessageHandler* handler) {
    return handlers_.removeOne(handler);
}

bool OwnerHook::Send(MenuMessage& message) const {
    // A handler may remove itself while handling; walk a copy.
    const QList<MenuMessageHandler*> handlers = handlers_;
    for (auto it = handlers.crbegin(); it != handlers.crend(); ++it) {
        if (handlers_.contains(*it) && (*it)->HandleMenuMessage(message)) return true;
    }
    return false;
}

bool OwnerHook::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
        case QEvent::FontChange:
        case QEvent::ApplicationFontChange:
        case QEvent::StyleChange:
        case QEvent::PaletteChange: {
            MenuMessage message;
            message.type = MenuMessageType::SettingChange;
            Send(message);
            break;
        }
        default:
            break;
    }
    return false;
}

}  // namespace zs
