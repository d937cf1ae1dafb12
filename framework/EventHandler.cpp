#include "EventHandler.h"

#include "Facade.h"

EventHandler::EventHandler(QObject* parent) : Object(parent) {
    Facade::instance()->attach(this);
}

EventHandler::~EventHandler() {
    Facade::instance()->detach(this);
}

void EventHandler::dispatchEvent(int id, const AnyValue& value) {
    Facade::instance()->deliver(id, value);
}

void EventHandler::onEvent(int, const AnyValue&) {}

void EventHandler::addEventListener(int id) {
    m_listening.insert(id);
}

void EventHandler::removeListener(int id) {
    m_listening.remove(id);
}

bool EventHandler::listensTo(int id) const {
    return m_listening.contains(id);
}
