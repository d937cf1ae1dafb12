#pragma once

#include <QMap>
#include <QObject>
#include <QVariant>

class QNetworkAccessManager;
class QNetworkRequest;
class HttpRequest;
class HttpFileRequest;

// The process-wide HTTP transport over one QNetworkAccessManager. Requests
// are children of the manager and free themselves after they reported.
class HttpManager : public QObject {
    Q_OBJECT
public:
    static HttpManager* instance();

    HttpRequest* getWithHeader(const QString& url, const QMap<QString, QVariant>& headers,
                               int timeoutMs);
    HttpRequest* postWithHeader(const QString& url, const QString& body,
                                const QMap<QString, QVariant>& headers, int timeoutMs);
    HttpFileRequest* download(const QString& url, const QString& localPath, int timeoutMs);

private:
    HttpManager();
    static QNetworkRequest makeRequest(const QString& url, const QMap<QString, QVariant>& headers);

    QNetworkAccessManager* m_network;
};
