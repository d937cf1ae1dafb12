#include "HttpRequest.h"

#include <QTimer>

namespace {
bool isWebScheme(const QString& scheme) {
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}
} // namespace

HttpRequest::HttpRequest(QNetworkReply* reply, int timeoutMs, QObject* parent)
    : HttpRequest(reply, timeoutMs, parent, Limits()) {}

HttpRequest::HttpRequest(QNetworkReply* reply, int timeoutMs, QObject* parent, const Limits& limits)
    : QObject(parent), m_reply(reply), m_limits(limits) {
    if (!reply) {
        QTimer::singleShot(0, this, [this] {
            fail(QNetworkReply::ProtocolUnknownError, 0,
                 QStringLiteral("Only http and https addresses are fetched"));
        });
        return;
    }
    reply->setParent(this);
    watch(timeoutMs);
}

void HttpRequest::watch(int timeoutMs) {
    connect(m_reply, &QNetworkReply::finished, this, [this] {
        if (!m_done)
            handleFinished();
    });
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpRequest::checkDeclaredLength);
    connect(m_reply, &QNetworkReply::redirected, this, &HttpRequest::checkRedirect);
    connect(m_reply, &QNetworkReply::readyRead, this, [this] {
        if (m_done)
            return;
        m_stall->start();
        handleData();
    });
    connect(m_reply, &QNetworkReply::uploadProgress, this, [this] {
        if (!m_done)
            m_stall->start();
    });
    // A time-out of 0 means no overall time-out; a stalled exchange still ends.
    if (timeoutMs > 0)
        m_timer = startTimer(timeoutMs, QStringLiteral("Request timed out after %1 ms"));
    m_stall = startTimer(m_limits.stallMs, QStringLiteral("No data received for %1 ms"));
}

QTimer* HttpRequest::startTimer(int ms, const QString& failure) {
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setInterval(ms);
    connect(timer, &QTimer::timeout, this, [this, ms, failure] {
        if (!m_done)
            fail(-1, 0, failure.arg(ms));
    });
    timer->start();
    return timer;
}

QString HttpRequest::transportMessage(QNetworkReply* reply) {
    return reply->errorString().isEmpty() ? QStringLiteral("Network error") : reply->errorString();
}

int HttpRequest::httpStatus() const {
    return m_reply ? m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
}

void HttpRequest::checkDeclaredLength() {
    if (m_done)
        return;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_limits.maxBytes)
        failTooLarge();
}

void HttpRequest::checkRedirect(const QUrl& target) {
    if (m_done)
        return;
    // Never from https down to http, and never away from the web (file:, ftp:).
    const QString from = m_reply->url().scheme();
    const QString to = target.scheme();
    if (isWebScheme(to) && !(from == QLatin1String("https") && to == QLatin1String("http")))
        emit m_reply->redirectAllowed();
    else
        fail(QNetworkReply::InsecureRedirectError, httpStatus(),
             QStringLiteral("Redirect to %1 refused").arg(target.toDisplayString()));
}

void HttpRequest::handleData() {
    if (m_reply->bytesAvailable() > m_limits.maxBytes)
        failTooLarge();
}

void HttpRequest::failTooLarge() {
    fail(QNetworkReply::UnknownContentError, httpStatus(),
         QStringLiteral("Answer larger than %1 bytes refused").arg(m_limits.maxBytes));
}

void HttpRequest::handleFinished() {
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        fail(int(m_reply->error()), 0, transportMessage(m_reply));
        return;
    }
    if (m_reply->bytesAvailable() > m_limits.maxBytes) {
        failTooLarge();
        return;
    }
    const QString body = QString::fromUtf8(m_reply->readAll());
    finish();
    emit onSuccess(body);
}

void HttpRequest::fail(int error, int httpStatus, const QString& message) {
    discard();
    finish();
    emit onFail(error, httpStatus, message);
}

void HttpRequest::finish() {
    m_done = true;
    if (m_timer)
        m_timer->stop();
    if (m_stall)
        m_stall->stop();
    if (m_reply) {
        m_reply->disconnect(this);
        if (m_reply->isRunning())
            m_reply->abort();
    }
    deleteLater();
}
