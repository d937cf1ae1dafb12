#include "HttpFileRequest.h"

#include <QNetworkReply>
#include <QSaveFile>

HttpFileRequest::HttpFileRequest(QNetworkReply* reply, const QString& localPath, int timeoutMs,
                                 QObject* parent)
    : HttpRequest(reply, timeoutMs, parent), m_localPath(localPath),
      m_file(std::make_unique<QSaveFile>(localPath)) {
    m_writeFailed = !m_file->open(QIODevice::WriteOnly);
    connect(reply, &QNetworkReply::readyRead, this, &HttpFileRequest::writeAvailable);
}

HttpFileRequest::~HttpFileRequest() {
    if (m_file && m_file->isOpen())
        m_file->cancelWriting();
}

void HttpFileRequest::writeAvailable() {
    const QByteArray chunk = reply()->readAll();
    if (!m_writeFailed && m_file->write(chunk) != chunk.size())
        m_writeFailed = true;
}

void HttpFileRequest::failWith(int error, int httpStatus, const QString& message) {
    m_file->cancelWriting();
    m_file->commit(); // with writing cancelled this only discards the temporary file
    finish();
    emit onFail(error, httpStatus, message);
}

void HttpFileRequest::handleFinished() {
    const int status = reply()->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply()->error() != QNetworkReply::NoError) {
        failWith(int(reply()->error()), status, transportMessage(reply()));
        return;
    }
    writeAvailable();
    if (status != 200) {
        failWith(0, status, QStringLiteral("Download failed: HTTP status %1").arg(status));
        return;
    }
    if (m_writeFailed || !m_file->commit()) {
        failWith(0, status,
                 QStringLiteral("Cannot write %1: %2").arg(m_localPath, m_file->errorString()));
        return;
    }
    finish();
    emit onSuccess(m_localPath);
}

void HttpFileRequest::handleTimeout() {
    failWith(-1, 0, QStringLiteral("Download timed out after %1 ms").arg(timeoutMs()));
}
