#include "HttpHandler.h"

#include "CommonHeaders.h"
#include "EndpointTable.h"
#include "EventIds.h"
#include "HttpManager.h"
#include "HttpRequest.h"
#include "ServiceAnswer.h"

#include <QDebug>

namespace {
const int kTimeoutMs = 30000;
// What a page says when the service gave no answer at all.
const QString kUnreachable = QStringLiteral("网络连接失败，请检查网络后重试");
} // namespace

quint64 HttpHandler::s_lastRequest = 0;
quint64 HttpHandler::s_answering = 0;

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
    const quint64 serial = ++s_lastRequest;
    connect(request, &HttpRequest::onSuccess, this,
            [this, target, serial](const QString& body) { onAnswer(*target, body, serial); });
    // A request that got no answer fails like one the service refused, so
    // that no page waits for ever.
    connect(request, &HttpRequest::onFail, this,
            [this, target, serial](int, int, const QString& message) {
                onTransportFailure(*target, message, serial);
            });
}

void HttpHandler::onTransportFailure(const Endpoint& endpoint, const QString& message,
                                     quint64 serial) {
    qDebug() << "request failed:" << endpoint.path << message;
    // The login window shows the transport's own words; pages say it plainly.
    const bool login = endpoint.answer == Endpoint::Answer::Login;
    deliver(endpoint.failEvent, AnyValue::of(login ? message : kUnreachable), serial);
}

void HttpHandler::deliver(int event, const AnyValue& value, quint64 serial) {
    const quint64 outer = s_answering;
    s_answering = serial;
    dispatchEvent(event, value);
    s_answering = outer;
}

bool HttpHandler::accepted(const Endpoint& endpoint, const ServiceAnswer& answer) {
    if (!answer.succeeded())
        return false;
    if (endpoint.answer == Endpoint::Answer::Code)
        return !answer.data().toMap().value(QStringLiteral("code")).toString().isEmpty();
    return true;
}

void HttpHandler::onAnswer(const Endpoint& endpoint, const QString& body, quint64 serial) {
    const ServiceAnswer answer(body);
    if (!accepted(endpoint, answer)) {
        deliver(endpoint.failEvent, AnyValue::of(answer.message()), serial);
        return;
    }
    switch (endpoint.answer) {
    case Endpoint::Answer::Data:
        deliver(endpoint.okEvent, AnyValue::of(answer.data()), serial);
        break;
    case Endpoint::Answer::Body:
        deliver(endpoint.okEvent, AnyValue::of(body), serial);
        break;
    case Endpoint::Answer::Code:
        deliver(endpoint.okEvent, AnyValue::of(answer.object()), serial);
        break;
    case Endpoint::Answer::Login:
        onLoggedIn(answer, body, serial);
        break;
    }
}

void HttpHandler::onLoggedIn(const ServiceAnswer& answer, const QString& body, quint64 serial) {
    if (userDao)
        userDao->fillFromLogin(answer.data().toMap());
    deliver(Event::RES_LOGIN_OK, AnyValue::of(body), serial);
    deliver(Event::CLOSE_LOGIN, AnyValue::of(body), serial);
}
