#pragma once

#include "Mediator.h"

#include <QList>
#include <QPair>

// Test double standing in for the other modules: remembers every event.
class EventRecorder : public Mediator {
public:
    void onEvent(int id, const AnyValue& value) override { events.append({id, value}); }

    int count(int id) const {
        int n = 0;
        for (const auto& event : events)
            n += event.first == id ? 1 : 0;
        return n;
    }
    AnyValue last(int id) const {
        for (int i = events.size() - 1; i >= 0; --i)
            if (events[i].first == id)
                return events[i].second;
        return AnyValue();
    }

    QList<QPair<int, AnyValue>> events;
};
