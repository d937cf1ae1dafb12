#include "ApiClient.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QTimer>
#include <QUrlQuery>
#include <memory>
#include <vector>

ApiClient::ApiClient(QUrl origin) : origin_(std::move(origin)) {}

QJsonObject ApiClient::Reply::json() const {
    return QJsonDocument::fromJson(body).object();
}

QString ApiClient::sign(QMap<QString, QVariant> map) {
    map.insert("security_key", QStringLiteral(LINTAVO_TEST_SIGNING_KEY));
    QString text;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        text += it.key() + it.value().toString();
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

QString ApiClient::timestamp() {
    return QString::number(QDateTime::currentDateTime().toSecsSinceEpoch());
}

QUrl ApiClient::url(const QString& pathAndQuery) const {
    return QUrl(origin_.toString() + pathAndQuery);
}

namespace {

QNetworkReply* start(QNetworkAccessManager& network, const QUrl& url, const ApiClient::Call& call) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    for (auto it = call.headers.begin(); it != call.headers.end(); ++it)
        request.setRawHeader(it.key(), it.value());
    QBuffer* buffer = new QBuffer;
    buffer->setData(call.body);
    QNetworkReply* reply = network.sendCustomRequest(request, call.method, buffer);
    buffer->setParent(reply);
    return reply;
}

ApiClient::Reply collect(QNetworkReply* reply) {
    ApiClient::Reply out;
    out.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    out.body = reply->readAll();
    for (const auto& pair : reply->rawHeaderPairs())
        out.headers.insert(pair.first.toLower(), pair.second);
    reply->deleteLater();
    return out;
}

} // namespace

ApiClient::Reply ApiClient::send(const QByteArray& method, const QString& pathAndQuery,
                                 const QByteArray& body,
                                 const QMap<QByteArray, QByteArray>& headers) {
    QNetworkReply* reply =
        start(network_, url(pathAndQuery), {method, pathAndQuery, body, headers});
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(200000, &loop, &QEventLoop::quit);
    loop.exec();
    return collect(reply);
}

QList<ApiClient::Reply> ApiClient::sendAll(const QList<Call>& calls) {
    // One manager per call: a manager opens at most six connections to a host.
    std::vector<std::unique_ptr<QNetworkAccessManager>> networks;
    QList<QNetworkReply*> replies;
    QEventLoop loop;
    int pending = calls.size();
    for (const Call& call : calls) {
        networks.push_back(std::make_unique<QNetworkAccessManager>());
        QNetworkReply* reply = start(*networks.back(), url(call.pathAndQuery), call);
        QObject::connect(reply, &QNetworkReply::finished, &loop, [&] {
            if (--pending == 0)
                loop.quit();
        });
        replies << reply;
    }
    QTimer::singleShot(200000, &loop, &QEventLoop::quit);
    if (pending > 0)
        loop.exec();
    QList<Reply> out;
    for (QNetworkReply* reply : replies)
        out << collect(reply);
    return out;
}

QByteArray ApiClient::signedBody(QVariantMap body, const QString& signatureKey) {
    if (!body.contains("timestamp"))
        body.insert("timestamp", timestamp());
    body.insert(signatureKey, sign(body));
    return QJsonDocument::fromVariant(body).toJson(QJsonDocument::Compact);
}

ApiClient::Reply ApiClient::get(const QString& pathAndQuery,
                                const QMap<QByteArray, QByteArray>& headers) {
    return send("GET", pathAndQuery, QByteArray(), headers);
}

QJsonObject ApiClient::getTemplate(const QString& path, const QString& templ,
                                   const QStringList& args, const QVariantMap& signedMap) {
    QString query = templ;
    for (const auto& a : args)
        query = query.arg(a);
    query = query.arg(sign(signedMap));
    return get(path + query).json();
}

QJsonObject ApiClient::getBuilt(const QString& path, Items items) {
    QMap<QString, QVariant> map;
    items.insert(2 < items.size() ? 2 : items.size(), {"timestamp", timestamp()});
    for (const auto& item : items)
        map.insert(item.first, item.second);
    QUrlQuery query;
    for (const auto& item : items)
        query.addQueryItem(item.first, item.second.toString());
    query.addQueryItem("sign", sign(map));
    QUrl u(path);
    u.setQuery(query);
    return get(u.toString()).json();
}

QJsonObject ApiClient::post(const QString& path, QVariantMap body, const QString& signatureKey) {
    return send("POST", path, signedBody(std::move(body), signatureKey)).json();
}

QJsonObject ApiClient::postAs(const QJsonObject& user, const QString& path, QVariantMap body) {
    body.insert("uid", user.value("uid").toString());
    body.insert("auth_token", user.value("auth_token").toString());
    return post(path, body);
}

QJsonObject ApiClient::getAs(const QJsonObject& user, const QString& path, Items items) {
    items.prepend({"auth_token", user.value("auth_token").toString()});
    items.prepend({"uid", user.value("uid").toString()});
    return getBuilt(path, items);
}

QJsonObject ApiClient::login(const QString& account, const QString& password) {
    return post("/user/login", {{"mobile", account}, {"password", password}, {"devicetoken", "t"}})
        .value("data")
        .toObject();
}
