#include "HttpManager.h"

#include "HttpFileRequest.h"
#include "HttpRequest.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

HttpManager* HttpManager::instance() {
    static HttpManager* manager = new HttpManager; // lives for the whole run
    return manager;
}

HttpManager::HttpManager() : m_network(new QNetworkAccessManager(this)) {
    // Each redirect is checked by the request (schemes, no downgrade).
    m_network->setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
}

bool HttpManager::isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QNetworkRequest HttpManager::makeRequest(const QUrl& url, const QMap<QString, QVariant>& headers) {
    QNetworkRequest request(url);
    for (auto it = headers.constBegin(); it != headers.constEnd(); ++it)
        request.setRawHeader(it.key().toUtf8(), it.value().toString().toUtf8());
    return request;
}

HttpRequest::Limits HttpManager::limits(qint64 maxBytes) const {
    HttpRequest::Limits limits;
    limits.maxBytes = maxBytes;
    limits.stallMs = m_stallMs;
    return limits;
}

HttpRequest* HttpManager::getWithHeader(const QString& url, const QMap<QString, QVariant>& headers,
                                        int timeoutMs) {
    const QUrl target(url, QUrl::TolerantMode);
    QNetworkReply* reply =
        isWebAddress(target) ? m_network->get(makeRequest(target, headers)) : nullptr;
    return new HttpRequest(reply, timeoutMs, this, limits(kMaxAnswerBytes));
}

HttpRequest* HttpManager::postWithHeader(const QString& url, const QString& body,
                                         const QMap<QString, QVariant>& headers, int timeoutMs) {
    const QUrl target(url, QUrl::TolerantMode);
    QNetworkReply* reply = nullptr;
    if (isWebAddress(target)) {
        QNetworkRequest request = makeRequest(target, headers);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        reply = m_network->post(request, body.toUtf8());
    }
    return new HttpRequest(reply, timeoutMs, this, limits(kMaxAnswerBytes));
}

HttpFileRequest* HttpManager::download(const QString& url, const QString& localPath,
                                       int timeoutMs) {
    return download(url, localPath, timeoutMs, kMaxDownloadBytes, {});
}

HttpFileRequest* HttpManager::download(const QString& url, const QString& localPath, int timeoutMs,
                                       qint64 maxBytes, const QMap<QString, QVariant>& headers) {
    const QUrl target(url, QUrl::TolerantMode);
    QNetworkReply* reply = nullptr;
    if (isWebAddress(target)) {
        QNetworkRequest request = makeRequest(target, headers);
        // Files are stored as sent: nothing is inflated behind the size limit.
        request.setRawHeader("Accept-Encoding", "identity");
        reply = m_network->get(request);
    }
    return new HttpFileRequest(reply, localPath, timeoutMs, this, limits(maxBytes));
}
