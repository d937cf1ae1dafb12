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

    // Every request gets the next serial number. While a result event is
    // delivered, answeringRequest() is the serial of the request it answers
    // (0 outside a delivery), so a page that asked several times can keep
    // the answer to its latest request only. Receivers built after the
    // handler read lastRequest() when they see a request event.
    static quint64 lastRequest() { return s_lastRequest; }
    static quint64 answeringRequest() { return s_answering; }

private:
    HttpHandler();

    RequestBuilder::Inputs inputs(const Endpoint& endpoint, const AnyValue& value) const;
    static QVariantMap readValue(Endpoint::Input input, const AnyValue& value);
    void send(const Endpoint& endpoint, const RequestBuilder::Wire& wire);
    void onAnswer(const Endpoint& endpoint, const QString& body, quint64 serial);
    void onTransportFailure(const Endpoint& endpoint, const QString& message, quint64 serial);
    static bool accepted(const Endpoint& endpoint, const ServiceAnswer& answer);
    void onLoggedIn(const ServiceAnswer& answer, const QString& body, quint64 serial);
    void deliver(int event, const AnyValue& value, quint64 serial);

    static quint64 s_lastRequest;
    static quint64 s_answering;
};
