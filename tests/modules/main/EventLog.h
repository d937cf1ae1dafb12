#pragma once

#include "Mediator.h"

#include <QList>
#include <QVariant>

// Records every dispatched event, in delivery order, for the UI tests.
class EventLog : public Mediator {
    Q_OBJECT
public:
    struct Entry {
        int id;
        AnyValue value;
    };

    explicit EventLog(QObject* parent = nullptr) : Mediator(parent) {}

    void onEvent(int id, const AnyValue& value) override { m_events.append({id, value}); }
    QList<int> ids() const {
        QList<int> all;
        for (const Entry& e : m_events)
            all << e.id;
        return all;
    }
    int count(int id) const { return ids().count(id); }
    // The variant map carried by the last event with this id (either as a
    // QVariant or as a QVariantMap value), or an empty map.
    QVariantMap lastMap(int id) const {
        for (int i = m_events.size() - 1; i >= 0; --i) {
            if (m_events.at(i).id != id)
                continue;
            const AnyValue& v = m_events.at(i).value;
            if (v.holds<QVariant>())
                return v.as<QVariant>().toMap();
            if (v.holds<QVariantMap>())
                return v.as<QVariantMap>();
            return {};
        }
        return {};
    }
    const QList<Entry>& entries() const { return m_events; }
    void clear() { m_events.clear(); }

private:
    QList<Entry> m_events;
};
