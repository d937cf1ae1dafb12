#include "CacheDownload.h"

#include "HttpFileRequest.h"
#include "HttpManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSet>

namespace {
const QByteArray kEtag = "ETag: ";
const QByteArray kLastModified = "Last-Modified: ";
// Longer validators are not kept: the file is then simply reused.
const int kMaxValidator = 512;

QHash<QString, CacheDownload*>& running() {
    static QHash<QString, CacheDownload*> downloads;
    return downloads;
}

QSet<QString>& checkedThisRun() {
    static QSet<QString> paths;
    return paths;
}

QByteArray validatorLine(const QByteArray& name, const QByteArray& value) {
    if (value.isEmpty() || value.size() > kMaxValidator || value.contains('\n') ||
        value.contains('\r'))
        return {};
    return name + value + '\n';
}
} // namespace

CacheDownload::CacheDownload(const QString& url, const QString& path, QObject* parent)
    : QObject(parent), m_url(url), m_path(path) {}

QString CacheDownload::metaPath(const QString& path) {
    // Cached names carry at most one suffix, so "<name>.meta" is never a cached file.
    return path + QStringLiteral(".meta");
}

bool CacheDownload::isCurrent(const QString& path) {
    return checkedThisRun().contains(path) || conditionalHeaders(path).isEmpty();
}

CacheDownload* CacheDownload::join(const QString& url, const QString& path, qint64 maxBytes) {
    CacheDownload*& download = running()[path];
    if (!download) {
        download = new CacheDownload(url, path, HttpManager::instance());
        download->start(maxBytes);
    }
    return download;
}

void CacheDownload::addWaiter(QObject* context, CachedFile::Ready onReady, bool acceptStale) {
    m_waiters.append({context, std::move(onReady), acceptStale});
}

QMap<QString, QVariant> CacheDownload::conditionalHeaders(const QString& path) {
    QFile meta(metaPath(path));
    if (!QFileInfo::exists(path) || !meta.open(QIODevice::ReadOnly))
        return {};
    QMap<QString, QVariant> headers;
    for (const QByteArray& line : meta.read(4 * kMaxValidator).split('\n')) {
        if (line.startsWith(kEtag) && line.size() > kEtag.size())
            headers.insert(QStringLiteral("If-None-Match"), line.mid(kEtag.size()));
        else if (line.startsWith(kLastModified) && line.size() > kLastModified.size())
            headers.insert(QStringLiteral("If-Modified-Since"), line.mid(kLastModified.size()));
    }
    return headers;
}

void CacheDownload::storeValidators(const QString& path, const QByteArray& etag,
                                    const QByteArray& lastModified) {
    const QByteArray lines =
        validatorLine(kEtag, etag) + validatorLine(kLastModified, lastModified);
    if (lines.isEmpty()) {
        QFile::remove(metaPath(path));
        return;
    }
    QSaveFile meta(metaPath(path));
    if (meta.open(QIODevice::WriteOnly) && meta.write(lines) == lines.size())
        meta.commit();
}

void CacheDownload::start(qint64 maxBytes) {
    QDir().mkpath(QFileInfo(m_path).path());
    HttpFileRequest* request =
        HttpManager::instance()->download(m_url, m_path, 0, maxBytes, conditionalHeaders(m_path));
    connect(request, &HttpRequest::onSuccess, this, [this, request] { succeeded(request); });
    connect(request, &HttpRequest::onFail, this, &CacheDownload::failed);
}

void CacheDownload::succeeded(HttpFileRequest* request) {
    // A 304 may come without validators; the ones kept then still hold.
    if (!request->notModified() || !request->etag().isEmpty() || !request->lastModified().isEmpty())
        storeValidators(m_path, request->etag(), request->lastModified());
    notify(true);
}

void CacheDownload::failed() {
    notify(false);
}

void CacheDownload::notify(bool fresh) {
    running().remove(m_path);
    const bool present = QFileInfo::exists(m_path);
    // An unreachable service is not asked again in this run for a file present.
    if (present)
        checkedThisRun().insert(m_path);
    for (const Waiter& waiter : qAsConst(m_waiters)) {
        if (waiter.context && present && (fresh || waiter.acceptStale))
            waiter.onReady(m_path);
    }
    deleteLater();
}
