#include "OperateHandler.h"

#include "EventIds.h"
#include "LoginObject.h"

OperateHandler* OperateHandler::instance() {
    static OperateHandler* handler = new OperateHandler; // never destroyed
    return handler;
}

OperateHandler::OperateHandler() {
    onViewInvalidated();
    // Window modules register here as they are built (login, VIP purchase,
    // teaching mode).
    m_factories.insert(Event::SHOW_LOGIN, [](const AnyValue&) { LoginObject::open(); });
}

void OperateHandler::onEvent(int id, const AnyValue& value) {
    auto it = m_factories.constFind(id);
    if (it != m_factories.constEnd())
        (*it)(value);
}
