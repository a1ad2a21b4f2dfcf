#pragma once

#include "MenuMessage.h"

namespace zs {

// Something that has subclassed an owner window for its menu messages.
// Handlers of one owner form a chain, the most recent first.
class MenuMessageHandler {
public:
    virtual ~MenuMessageHandler() = default;
    // Returns true when the message was handled (and answered, where it asks for an
    // answer); false passes it to the next handler and finally to the default handling.
    virtual bool HandleMenuMessage(MenuMessage& message) = 0;
};

}  // namespace zs
