#include "Facade.h"

#include "Dao.h"
#include "EventHandler.h"

#include <algorithm>

Facade* Facade::instance() {
    static Facade facade;
    return &facade;
}

void Facade::registDao(Dao* dao) {
    if (dao && !m_daos.contains(dao))
        m_daos.append(dao);
}

void Facade::clearDaos() {
    m_daos.clear();
}

Dao* Facade::dao(const QString& className) const {
    for (Dao* d : m_daos)
        if (QString::fromLatin1(d->metaObject()->className()) == className)
            return d;
    return nullptr;
}

void Facade::registCommand(const QString& name, std::function<void()> command) {
    m_commands.insert(name, std::move(command));
}

void Facade::runCommand(const QString& name) {
    auto it = m_commands.constFind(name);
    if (it != m_commands.constEnd() && *it)
        (*it)();
}

void Facade::clearCommands() {
    m_commands.clear();
}

void Facade::attach(EventHandler* handler) {
    const quint64 serial = m_nextSerial++;
    m_handlers.push_back({handler, serial});
    m_serials.insert(handler, serial);
}

void Facade::detach(EventHandler* handler) {
    m_serials.remove(handler);
    m_handlers.erase(std::remove_if(m_handlers.begin(), m_handlers.end(),
                                    [handler](const Entry& e) { return e.handler == handler; }),
                     m_handlers.end());
}

void Facade::detachTree(QObject* root) {
    if (!root)
        return;
    QList<EventHandler*> handlers = root->findChildren<EventHandler*>();
    if (auto* handler = qobject_cast<EventHandler*>(root))
        handlers.append(handler);
    for (EventHandler* handler : handlers)
        detach(handler);
}

bool Facade::isAttached(const Entry& entry) const {
    // The serial guards against a new handler that reuses a freed address.
    auto it = m_serials.constFind(entry.handler);
    return it != m_serials.constEnd() && *it == entry.serial;
}

void Facade::deliver(int id, const AnyValue& value) {
    // Receivers constructed during delivery do not get this event; receivers
    // destroyed during delivery are skipped.
    const std::vector<Entry> receivers = m_handlers;
    for (const Entry& entry : receivers) {
        if (isAttached(entry) && entry.handler->listensTo(id))
            entry.handler->onEvent(id, value);
    }
}
