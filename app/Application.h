#pragma once

#include "Mediator.h"
#include "UserDao.h"
#include "ViewType.h"

#include <QPointer>

#include "IAppObject.h"

// Lives for the whole run: registers the session record, creates the
// process-wide handlers and owns the current top-level module.
class Application : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    Application();

    void start();
    void onEvent(int id, const AnyValue& value) override;

    IAppObject* currentModule() const { return m_current; }
    int currentViewType() const { return m_viewType; }

private:
    void releaseCurrent();

    int m_viewType = VIEW_NONE;
    QPointer<IAppObject> m_current;
};
