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
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

QNetworkRequest HttpManager::makeRequest(const QString& url,
                                         const QMap<QString, QVariant>& headers) {
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    for (auto it = headers.constBegin(); it != headers.constEnd(); ++it)
        request.setRawHeader(it.key().toUtf8(), it.value().toString().toUtf8());
    return request;
}

HttpRequest* HttpManager::getWithHeader(const QString& url, const QMap<QString, QVariant>& headers,
                                        int timeoutMs) {
    return new HttpRequest(m_network->get(makeRequest(url, headers)), timeoutMs, this);
}

HttpRequest* HttpManager::postWithHeader(const QString& url, const QString& body,
                                         const QMap<QString, QVariant>& headers, int timeoutMs) {
    QNetworkRequest request = makeRequest(url, headers);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    return new HttpRequest(m_network->post(request, body.toUtf8()), timeoutMs, this);
}

HttpFileRequest* HttpManager::download(const QString& url, const QString& localPath,
                                       int timeoutMs) {
    QNetworkReply* reply = m_network->get(makeRequest(url, {}));
    return new HttpFileRequest(reply, localPath, timeoutMs, this);
}
