#pragma once

#include "Mediator.h"
#include "UserDao.h"

#include <QHash>
#include <functional>

// Opens the separate windows (login, VIP purchase, teaching) on their events.
// Each window owns itself; the handler keeps no pointer to it.
class OperateHandler : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    using WindowFactory = std::function<void(const AnyValue&)>;

    static OperateHandler* instance();
    void onEvent(int id, const AnyValue& value) override;

private:
    OperateHandler();
    // A teaching window that cannot open must not leave the main window hidden.
    void openTeaching(const QVariant& content);

    QHash<int, WindowFactory> m_factories;
};
