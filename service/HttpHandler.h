#pragma once

#include "Mediator.h"
#include "UserDao.h"

// The web service client: turns request events into signed requests and their
// answers into result events.
class HttpHandler : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    static HttpHandler* instance();
    void onEvent(int id, const AnyValue& value) override;

private:
    HttpHandler();
};
