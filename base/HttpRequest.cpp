#include "HttpRequest.h"

#include <QNetworkReply>
#include <QTimer>

HttpRequest::HttpRequest(QNetworkReply* reply, int timeoutMs, QObject* parent)
    : QObject(parent), m_reply(reply), m_timeoutMs(timeoutMs) {
    reply->setParent(this);
    connect(reply, &QNetworkReply::finished, this, [this] {
        if (!m_done)
            handleFinished();
    });
    // A time-out of 0 means no time-out: the exchange runs until the network
    // stack gives up.
    if (timeoutMs > 0) {
        m_timer = new QTimer(this);
        m_timer->setSingleShot(true);
        connect(m_timer, &QTimer::timeout, this, [this] {
            if (!m_done)
                handleTimeout();
        });
        m_timer->start(timeoutMs);
    }
}

QString HttpRequest::transportMessage(QNetworkReply* reply) {
    return reply->errorString().isEmpty() ? QStringLiteral("Network error") : reply->errorString();
}

void HttpRequest::handleFinished() {
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        const QString body = QString::fromUtf8(m_reply->readAll());
        finish();
        emit onSuccess(body);
    } else {
        const int error = int(m_reply->error());
        const QString message = transportMessage(m_reply);
        finish();
        emit onFail(error, 0, message);
    }
}

void HttpRequest::handleTimeout() {
    m_timedOut = true;
    const QString message = QStringLiteral("Request timed out after %1 ms").arg(m_timeoutMs);
    finish();
    emit onFail(-1, 0, message);
}

void HttpRequest::finish() {
    m_done = true;
    if (m_timer)
        m_timer->stop();
    if (m_reply) {
        m_reply->disconnect(this);
        if (m_reply->isRunning())
            m_reply->abort();
    }
    deleteLater();
}
