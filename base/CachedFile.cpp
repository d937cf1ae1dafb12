#include "CachedFile.h"

#include "HttpFileRequest.h"
#include "HttpManager.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QUrl>

namespace {
bool isReserved(const QString& name) {
    static const QRegularExpression programs(
        QStringLiteral("^(upload|ffmpeg|qrcode|lintavo|lintavo-server|lintavo-score)(\\.exe)?$"),
        QRegularExpression::CaseInsensitiveOption);
    // Dubbing working files: sentence-index prefixed recordings and mixes,
    // and the time-stamped upload file; the payment QR pictures.
    static const QRegularExpression working(
        QStringLiteral("^[0-9]*(record\\.wav|record\\.mp3|mix\\.mp3|test\\.wav|empty\\.wav|"
                       "product\\.aac)$|^[0-9]+\\.aac$|^(wechat|alipay)\\.png$"),
        QRegularExpression::CaseInsensitiveOption);
    return programs.match(name).hasMatch() || working.match(name).hasMatch();
}

QString lastSegment(const QString& url) {
    const QString path = QUrl(url, QUrl::TolerantMode).path();
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}
} // namespace

bool CachedFile::isPlainSafeName(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._-]{0,127}$"));
    return plain.match(name).hasMatch() && !isReserved(name);
}

QString CachedFile::safeName(const QString& url) {
    const QString name = lastSegment(url);
    if (isPlainSafeName(name))
        return name;
    const QString suffix = QFileInfo(name).suffix();
    QString safe = QString::fromLatin1(
        QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex().left(24));
    static const QRegularExpression plainSuffix(QStringLiteral("^[A-Za-z0-9]{1,8}$"));
    if (plainSuffix.match(suffix).hasMatch())
        safe += QLatin1Char('.') + suffix;
    return QStringLiteral("dl-") + safe;
}

QString CachedFile::localPath(const QString& url) {
    return QDir::currentPath() + QLatin1Char('/') + safeName(url);
}

void CachedFile::fetch(const QString& url, QObject* context, Ready onReady, bool refresh) {
    if (url.isEmpty())
        return;
    const QString path = localPath(url);
    if (!refresh && QFileInfo::exists(path)) {
        onReady(path);
        return;
    }
    HttpFileRequest* request = HttpManager::instance()->download(url, path, 0);
    QPointer<QObject> guard(context);
    QObject::connect(request, &HttpRequest::onSuccess, context,
                     [guard, onReady, path](const QString&) {
                         if (guard)
                             onReady(path);
                     });
}
