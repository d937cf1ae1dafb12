#include "EventRecorder.h"

#include "EventIds.h"

void EventRecorder::onEvent(int id, const AnyValue& value) {
    if (id >= Event::RES_NATURES_OK || id == Event::CLOSE_LOGIN)
        m_events.append({id, value});
}

QList<int> EventRecorder::ids() const {
    QList<int> out;
    for (const Entry& entry : m_events)
        out << entry.id;
    return out;
}

const EventRecorder::Entry* EventRecorder::last(int id) const {
    for (int i = m_events.size() - 1; i >= 0; --i)
        if (m_events[i].id == id)
            return &m_events[i];
    return nullptr;
}
