#pragma once

#include "Endpoint.h"
#include "Mediator.h"
#include "RequestBuilder.h"
#include "UserDao.h"

class ServiceAnswer;

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

    RequestBuilder::Inputs inputs(const Endpoint& endpoint, const AnyValue& value) const;
    static QVariantMap readValue(Endpoint::Input input, const AnyValue& value);
    void send(const Endpoint& endpoint, const RequestBuilder::Wire& wire);
    void onAnswer(const Endpoint& endpoint, const QString& body);
    static bool accepted(const Endpoint& endpoint, const ServiceAnswer& answer);
    void onLoggedIn(const ServiceAnswer& answer, const QString& body);
};
