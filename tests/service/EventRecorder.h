#pragma once

#include "Mediator.h"

#include <QList>

// Records the result events of the web service client (and CLOSE_LOGIN) in
// the order they were dispatched.
class EventRecorder : public Mediator {
    Q_OBJECT
public:
    struct Entry {
        int id;
        AnyValue value;
    };

    void onEvent(int id, const AnyValue& value) override;
    const QList<Entry>& events() const { return m_events; }
    QList<int> ids() const;
    // The last recorded event with this id, or nullptr.
    const Entry* last(int id) const;
    void clear() { m_events.clear(); }

private:
    QList<Entry> m_events;
};
