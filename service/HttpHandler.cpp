#include "HttpHandler.h"

#include "CommonHeaders.h"
#include "EndpointTable.h"
#include "EventIds.h"
#include "HttpManager.h"
#include "HttpRequest.h"
#include "ServiceAnswer.h"

namespace {
const int kTimeoutMs = 30000;
}

HttpHandler* HttpHandler::instance() {
    static HttpHandler* handler = new HttpHandler; // never destroyed
    return handler;
}

HttpHandler::HttpHandler() {
    onViewInvalidated();
}

void HttpHandler::onEvent(int id, const AnyValue& value) {
    const Endpoint* endpoint = EndpointTable::find(id);
    if (!endpoint)
        return;
    send(*endpoint, RequestBuilder::build(*endpoint, inputs(*endpoint, value)));
}

QVariantMap HttpHandler::readValue(Endpoint::Input input, const AnyValue& value) {
    switch (input) {
    case Endpoint::Input::None:
        return {};
    case Endpoint::Input::VariantMap:
        return value.as<QVariant>().toMap();
    case Endpoint::Input::Map:
        return value.as<QVariantMap>();
    case Endpoint::Input::StringMap: {
        QVariantMap map;
        const QMap<QString, QString>& strings = value.as<QMap<QString, QString>>();
        for (auto it = strings.constBegin(); it != strings.constEnd(); ++it)
            map.insert(it.key(), it.value());
        return map;
    }
    }
    return {};
}

RequestBuilder::Inputs HttpHandler::inputs(const Endpoint& endpoint, const AnyValue& value) const {
    RequestBuilder::Inputs in;
    in.value = readValue(endpoint.input, value);
    // Read now: on REQ_LOGOUT the main model resets the record right after us.
    if (userDao) {
        in.recordUid = userDao->userID;
        in.recordToken = userDao->token;
    }
    in.timestamp = RequestSigner::timestamp();
    in.device = CommonHeaders::deviceId();
    return in;
}

void HttpHandler::send(const Endpoint& endpoint, const RequestBuilder::Wire& wire) {
    HttpManager* http = HttpManager::instance();
    const QMap<QString, QVariant> headers = CommonHeaders::build();
    HttpRequest* request = wire.post
                               ? http->postWithHeader(wire.url, wire.body, headers, kTimeoutMs)
                               : http->getWithHeader(wire.url, headers, kTimeoutMs);
    const Endpoint* target = &endpoint; // the table outlives every request
    connect(request, &HttpRequest::onSuccess, this,
            [this, target](const QString& body) { onAnswer(*target, body); });
    // Only a login tells the user that the network failed; everything else
    // simply keeps what it shows.
    if (endpoint.answer == Endpoint::Answer::Login)
        connect(request, &HttpRequest::onFail, this, [this](int, int, const QString& message) {
            dispatchEvent(Event::RES_LOGIN_FAIL, AnyValue::of(message));
        });
}

bool HttpHandler::accepted(const Endpoint& endpoint, const ServiceAnswer& answer) {
    if (!answer.succeeded())
        return false;
    if (endpoint.answer == Endpoint::Answer::Code)
        return !answer.data().toMap().value(QStringLiteral("code")).toString().isEmpty();
    return true;
}

void HttpHandler::onAnswer(const Endpoint& endpoint, const QString& body) {
    const ServiceAnswer answer(body);
    if (!accepted(endpoint, answer)) {
        dispatchEvent(endpoint.failEvent, AnyValue::of(answer.message()));
        return;
    }
    switch (endpoint.answer) {
    case Endpoint::Answer::Data:
        dispatchEvent(endpoint.okEvent, AnyValue::of(answer.data()));
        break;
    case Endpoint::Answer::Body:
        dispatchEvent(endpoint.okEvent, AnyValue::of(body));
        break;
    case Endpoint::Answer::Code:
        dispatchEvent(endpoint.okEvent, AnyValue::of(answer.object()));
        break;
    case Endpoint::Answer::Login:
        onLoggedIn(answer, body);
        break;
    }
}

void HttpHandler::onLoggedIn(const ServiceAnswer& answer, const QString& body) {
    if (userDao)
        userDao->fillFromLogin(answer.data().toMap());
    dispatchEvent(Event::RES_LOGIN_OK, AnyValue::of(body));
    dispatchEvent(Event::CLOSE_LOGIN, AnyValue::of(body));
}
