#include "HttpFileRequest.h"

#include <QNetworkReply>
#include <QSaveFile>

namespace {
const int kOk = 200;
const int kNotModified = 304;
} // namespace

HttpFileRequest::HttpFileRequest(QNetworkReply* reply, const QString& localPath, int timeoutMs,
                                 QObject* parent)
    : HttpFileRequest(reply, localPath, timeoutMs, parent, Limits()) {}

HttpFileRequest::HttpFileRequest(QNetworkReply* reply, const QString& localPath, int timeoutMs,
                                 QObject* parent, const Limits& limits)
    : HttpRequest(reply, timeoutMs, parent, limits), m_localPath(localPath),
      m_file(std::make_unique<QSaveFile>(localPath)) {
    m_writeFailed = !m_file->open(QIODevice::WriteOnly);
}

HttpFileRequest::~HttpFileRequest() {
    if (m_file && m_file->isOpen())
        m_file->cancelWriting();
}

void HttpFileRequest::handleData() {
    // Only the body of a 200 is the file; error pages are read and dropped.
    const QByteArray chunk = reply()->readAll();
    if (httpStatus() != kOk)
        return;
    m_written += chunk.size();
    if (m_written > limits().maxBytes) {
        failTooLarge();
        return;
    }
    if (!m_writeFailed && m_file->write(chunk) != chunk.size())
        m_writeFailed = true;
}

void HttpFileRequest::discard() {
    if (!m_file->isOpen())
        return;
    m_file->cancelWriting();
    m_file->commit(); // with writing cancelled this only discards the temporary file
}

void HttpFileRequest::handleFinished() {
    const int status = httpStatus();
    if (reply()->error() != QNetworkReply::NoError && status != kNotModified) {
        fail(int(reply()->error()), status, transportMessage(reply()));
        return;
    }
    handleData();
    if (done()) // over the limit
        return;
    if (status == kNotModified) {
        m_notModified = true;
        discard();
    } else if (status != kOk) {
        fail(0, status, QStringLiteral("Download failed: HTTP status %1").arg(status));
        return;
    } else if (m_writeFailed || !m_file->commit()) {
        fail(0, status,
             QStringLiteral("Cannot write %1: %2").arg(m_localPath, m_file->errorString()));
        return;
    }
    m_etag = reply()->rawHeader("ETag");
    m_lastModified = reply()->rawHeader("Last-Modified");
    finish();
    emit onSuccess(m_localPath);
}
