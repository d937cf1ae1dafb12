#include "OperateHandler.h"

#include "EventIds.h"
#include "LoginObject.h"
#include "PayObject.h"
#include "TeachObject.h"

#include <QTimer>

OperateHandler* OperateHandler::instance() {
    static OperateHandler* handler = new OperateHandler; // never destroyed
    return handler;
}

OperateHandler::OperateHandler() {
    onViewInvalidated();
    // Window modules register here as they are built (login, VIP purchase,
    // teaching mode).
    m_factories.insert(Event::SHOW_LOGIN, [](const AnyValue&) { LoginObject::open(); });
    m_factories.insert(Event::SHOW_VIP_PURCHASE, [](const AnyValue&) { PayObject::open(); });
    m_factories.insert(Event::SHOW_TEACHING,
                       [this](const AnyValue& value) { openTeaching(value.as<QVariant>()); });
}

void OperateHandler::openTeaching(const QVariant& content) {
    if (TeachObject::open(content))
        return;
    // The main window hides on this same event, after this handler: once the
    // event has gone round, it and the video page are given back.
    QTimer::singleShot(0, this, [this] { dispatchEvent(Event::TEACHING_CLOSED, AnyValue()); });
}

void OperateHandler::onEvent(int id, const AnyValue& value) {
    auto it = m_factories.constFind(id);
    if (it != m_factories.constEnd())
        (*it)(value);
}
