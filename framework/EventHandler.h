#pragma once

#include "AnyValue.h"
#include "CommandNotifier.h"
#include "IEventHandler.h"
#include "Object.h"

#include <QSet>

// Receives the events it subscribed to with addEventListener. Every handler
// registers with the facade on construction, so delivery follows construction
// order.
class EventHandler : public Object, public IEventHandler, public CommandNotifier {
    Q_OBJECT
public:
    explicit EventHandler(QObject* parent = nullptr);
    ~EventHandler() override;

    void dispatchEvent(int id, const AnyValue& value) override;
    void onEvent(int id, const AnyValue& value) override;
    void addEventListener(int id) override;
    void removeListener(int id) override;

    virtual bool listensTo(int id) const;

private:
    QSet<int> m_listening;
};
