#pragma once

#include "HttpRequest.h"

#include <memory>

class QSaveFile;

// A download into a local file. Data goes to a temporary file that is renamed
// into place only when the whole body arrived with HTTP 200, so a failed, cut
// or oversized download never leaves a partial file under the final name. An
// answer 304 (not modified, to a conditional request) succeeds and leaves the
// file as it is.
class HttpFileRequest : public HttpRequest {
    Q_OBJECT
public:
    HttpFileRequest(QNetworkReply* reply, const QString& localPath, int timeoutMs, QObject* parent);
    HttpFileRequest(QNetworkReply* reply, const QString& localPath, int timeoutMs, QObject* parent,
                    const Limits& limits);
    ~HttpFileRequest() override;

    // Valid once onSuccess was emitted: whether the file was kept as it was,
    // and the validators the server sent with the answer.
    bool notModified() const { return m_notModified; }
    QByteArray etag() const { return m_etag; }
    QByteArray lastModified() const { return m_lastModified; }

protected:
    void handleFinished() override;
    void handleData() override;
    void discard() override;

private:
    QString m_localPath;
    std::unique_ptr<QSaveFile> m_file;
    qint64 m_written = 0;
    bool m_writeFailed = false;
    bool m_notModified = false;
    QByteArray m_etag;
    QByteArray m_lastModified;
};
