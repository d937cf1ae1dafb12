#include "OperateHandler.h"

#include "EventIds.h"

OperateHandler* OperateHandler::instance() {
    static OperateHandler* handler = new OperateHandler; // never destroyed
    return handler;
}

OperateHandler::OperateHandler() {
    onViewInvalidated();
    // Window modules register here as they are built (login, VIP purchase,
    // teaching mode).
}

void OperateHandler::onEvent(int id, const AnyValue& value) {
    auto it = m_factories.constFind(id);
    if (it != m_factories.constEnd())
        (*it)(value);
}
