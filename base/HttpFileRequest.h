#pragma once

#include "HttpRequest.h"

#include <memory>

class QSaveFile;

// A download into a local file. Data goes to a temporary file that is renamed
// into place only when the whole body arrived with HTTP 200, so a failed or
// cut download never leaves a partial file under the final name.
class HttpFileRequest : public HttpRequest {
    Q_OBJECT
public:
    HttpFileRequest(QNetworkReply* reply, const QString& localPath, int timeoutMs, QObject* parent);
    ~HttpFileRequest() override;

protected:
    void handleFinished() override;
    void handleTimeout() override;

private:
    void writeAvailable();
    void failWith(int error, int httpStatus, const QString& message);

    QString m_localPath;
    std::unique_ptr<QSaveFile> m_file;
    bool m_writeFailed = false;
};
