#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QNetworkAccessManager>
#include <QPair>
#include <QUrl>
#include <QVariant>

// The client's side of the wire, written independently of the service: the MD5 signature over a
// QMap walked in key order, query templates filled with QString::arg, query-builder URLs through
// QUrlQuery, and compact JSON bodies. Requests run synchronously.
class ApiClient {
public:
    struct Reply {
        int httpStatus = 0;
        QByteArray body;
        QMap<QByteArray, QByteArray> headers;
        QJsonObject json() const;
    };
    using Items = QList<QPair<QString, QVariant>>;
    struct Call {
        QByteArray method;
        QString pathAndQuery;
        QByteArray body;
        QMap<QByteArray, QByteArray> headers;
    };

    explicit ApiClient(QUrl origin);

    static QString sign(QMap<QString, QVariant> map);
    static QString timestamp();

    // Query template: `templ` is filled in order with `args`; the last placeholder is the
    // signature over `signedMap` (which must include `timestamp`).
    QJsonObject getTemplate(const QString& path, const QString& templ, const QStringList& args,
                            const QVariantMap& signedMap);
    // Query builder: items in order plus timestamp and sign.
    QJsonObject getBuilt(const QString& path, Items items);
    QJsonObject post(const QString& path, QVariantMap body, const QString& signatureKey = "sign");
    // A signed POST as the logged-in user.
    QJsonObject postAs(const QJsonObject& user, const QString& path, QVariantMap body);
    QJsonObject getAs(const QJsonObject& user, const QString& path, Items items);

    Reply get(const QString& pathAndQuery, const QMap<QByteArray, QByteArray>& headers = {});
    Reply send(const QByteArray& method, const QString& pathAndQuery, const QByteArray& body,
               const QMap<QByteArray, QByteArray>& headers = {});
    // Sends every call at once, each on a connection of its own, and waits for every answer.
    QList<Reply> sendAll(const QList<Call>& calls);
    // The JSON body post() sends: `timestamp` added when missing, then the signature.
    static QByteArray signedBody(QVariantMap body, const QString& signatureKey = "sign");
    QUrl url(const QString& pathAndQuery) const;

    QJsonObject login(const QString& account, const QString& password);

private:
    QUrl origin_;
    QNetworkAccessManager network_;
};
