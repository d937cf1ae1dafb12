#pragma once

#include "HttpRequest.h"

#include <QMap>
#include <QObject>
#include <QVariant>

class QNetworkAccessManager;
class QNetworkRequest;
class HttpFileRequest;

// The process-wide HTTP transport over one QNetworkAccessManager. Requests
// are children of the manager and free themselves after they reported. Only
// http and https addresses are fetched (redirects included); API answers are
// capped at 8 MB and every exchange ends after 30 s without a byte.
class HttpManager : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxAnswerBytes = 8 * 1024 * 1024;
    static constexpr qint64 kMaxDownloadBytes = 500 * 1024 * 1024;

    static HttpManager* instance();
    static bool isWebAddress(const QUrl& url);

    HttpRequest* getWithHeader(const QString& url, const QMap<QString, QVariant>& headers,
                               int timeoutMs);
    HttpRequest* postWithHeader(const QString& url, const QString& body,
                                const QMap<QString, QVariant>& headers, int timeoutMs);
    HttpFileRequest* download(const QString& url, const QString& localPath, int timeoutMs);
    // A download of at most maxBytes with extra request headers (e.g. the
    // conditional ones of a cache).
    HttpFileRequest* download(const QString& url, const QString& localPath, int timeoutMs,
                              qint64 maxBytes, const QMap<QString, QVariant>& headers);

    int stallTimeoutMs() const { return m_stallMs; }
    void setStallTimeoutMs(int ms) { m_stallMs = ms; }

private:
    HttpManager();
    static QNetworkRequest makeRequest(const QUrl& url, const QMap<QString, QVariant>& headers);
    HttpRequest::Limits limits(qint64 maxBytes) const;

    QNetworkAccessManager* m_network;
    int m_stallMs = HttpRequest::Limits().stallMs;
};
