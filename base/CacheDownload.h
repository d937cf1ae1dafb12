#pragma once

#include "CachedFile.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QVector>

class HttpFileRequest;

// One download into the cache, shared by everyone who asks for the same
// address while it runs. It sends the validators kept beside the file (a
// ".meta" file: the ETag and Last-Modified of the copy present) so that an
// unchanged file is only confirmed, stores the new ones, and remembers for the
// rest of the run which addresses were checked.
class CacheDownload : public QObject {
    Q_OBJECT
public:
    // Whether the file present may be used without asking the service: it was
    // checked in this run, or the service gave nothing to check it with.
    static bool isCurrent(const QString& path);
    // The running download of this file, or a new one.
    static CacheDownload* join(const QString& url, const QString& path, qint64 maxBytes);

    // acceptStale: on failure, a file already present is good enough.
    void addWaiter(QObject* context, CachedFile::Ready onReady, bool acceptStale);

private:
    struct Waiter {
        QPointer<QObject> context;
        CachedFile::Ready onReady;
        bool acceptStale;
    };

    CacheDownload(const QString& url, const QString& path, QObject* parent);
    void start(qint64 maxBytes);
    void succeeded(HttpFileRequest* request);
    void failed();
    void notify(bool fresh);

    static QString metaPath(const QString& path);
    static QMap<QString, QVariant> conditionalHeaders(const QString& path);
    static void storeValidators(const QString& path, const QByteArray& etag,
                                const QByteArray& lastModified);

    QString m_url;
    QString m_path;
    QVector<Waiter> m_waiters;
};
