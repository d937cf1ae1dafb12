#include "CachedFile.h"

#include "CacheDownload.h"
#include "HttpManager.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

QString CachedFile::folder() {
    return QDir::currentPath() + QStringLiteral("/cache");
}

QString CachedFile::safeName(const QString& url) {
    const QUrl parsed(url, QUrl::TolerantMode);
    const QString path = parsed.path();
    const QString suffix = QFileInfo(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1)).suffix();
    QString name = QString::fromLatin1(
        QCryptographicHash::hash(parsed.toEncoded(QUrl::RemoveFragment), QCryptographicHash::Sha256)
            .toHex()
            .left(32));
    static const QRegularExpression plainSuffix(QStringLiteral("^[A-Za-z0-9]{1,8}$"));
    if (plainSuffix.match(suffix).hasMatch())
        name += QLatin1Char('.') + suffix.toLower();
    return name;
}

QString CachedFile::localPath(const QString& url) {
    return folder() + QLatin1Char('/') + safeName(url);
}

qint64 CachedFile::maxBytes(Kind kind) {
    switch (kind) {
    case Kind::Picture:
        return 20 * 1024 * 1024;
    case Kind::Text:
        return HttpManager::kMaxAnswerBytes;
    case Kind::Media:
        break;
    }
    return HttpManager::kMaxDownloadBytes;
}

void CachedFile::fetch(const QString& url, QObject* context, Ready onReady, bool refresh,
                       Kind kind) {
    if (url.isEmpty() || !context)
        return;
    if (!HttpManager::isWebAddress(QUrl(url, QUrl::TolerantMode))) {
        qDebug() << "CachedFile: not an http or https address, not fetched:" << url;
        return;
    }
    const QString path = localPath(url);
    if (!refresh && QFileInfo::exists(path) && CacheDownload::isCurrent(path)) {
        onReady(path);
        return;
    }
    CacheDownload::join(url, path, maxBytes(kind))
        ->addWaiter(context, std::move(onReady), !refresh);
}
