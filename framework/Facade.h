#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <vector>

class AnyValue;
class QObject;
class Dao;
class EventHandler;

// Process-wide registry of event handlers, daos and named commands.
// Delivery is synchronous, in construction order, once per receiver, and stays
// safe when a receiver destroys itself or another receiver meanwhile.
class Facade {
public:
    static Facade* instance();

    void registDao(Dao* dao);
    void clearDaos();
    Dao* dao(const QString& className) const;
    QList<Dao*> daos() const { return m_daos; }

    void registCommand(const QString& name, std::function<void()> command);
    void runCommand(const QString& name);
    void clearCommands();

    void attach(EventHandler* handler);
    void detach(EventHandler* handler);
    // Stops delivery to every handler in the object tree under root (root
    // included), for objects that outlive their use until a deferred delete.
    void detachTree(QObject* root);
    void deliver(int id, const AnyValue& value);

private:
    Facade() = default;

    struct Entry {
        EventHandler* handler;
        quint64 serial;
    };
    bool isAttached(const Entry& entry) const;

    std::vector<Entry> m_handlers; // construction order
    QHash<EventHandler*, quint64> m_serials;
    quint64 m_nextSerial = 1;
    QList<Dao*> m_daos;
    QHash<QString, std::function<void()>> m_commands;
};
