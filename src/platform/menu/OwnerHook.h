#pragma once

#include <QList>
#include <QObject>

#include "MenuMessageHandler.h"

class QWidget;

namespace zs {

// The menu-message handlers that have subclassed one owner window. It also turns the
// owner's font, style and palette changes into SettingChange messages.
class OwnerHook : public QObject {
public:
    explicit OwnerHook(QWidget* owner);

    bool Add(MenuMessageHandler* handler);
    bool Remove(MenuMessageHandler* handler);
    bool Contains(MenuMessageHandler* handler) const { return handlers_.contains(handler); }
    // Offers the message to the handlers, most recent first.
    bool Send(MenuMessage& message) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<MenuMessageHandler*> handlers_;  // most recent last
};

}  // namespace zs
