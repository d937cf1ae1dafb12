#pragma once

#include <QNetworkReply>
#include <QObject>
#include <QPointer>

class QTimer;

// One HTTP exchange. It reports exactly once, by onSuccess or onFail, and then
// frees itself (deleteLater); callers never delete it.
class HttpRequest : public QObject {
    Q_OBJECT
public:
    // What one exchange may cost: the body it may bring, and how long it may
    // go without receiving a byte before it counts as stalled.
    struct Limits {
        qint64 maxBytes = 8 * 1024 * 1024;
        int stallMs = 30000;
    };

    // A null reply is an address the transport refuses; the request then
    // fails as soon as the event loop runs, so callers can still connect.
    HttpRequest(QNetworkReply* reply, int timeoutMs, QObject* parent);
    HttpRequest(QNetworkReply* reply, int timeoutMs, QObject* parent, const Limits& limits);

signals:
    // The server answered (whatever its HTTP status); the body as UTF-8 text.
    void onSuccess(const QString& body);
    // No answer: transport error, refused address, stall, time-out or a body
    // over the limit. First int: QNetworkReply error code (or -1 for a
    // time-out or stall); second: HTTP status if any.
    void onFail(int error, int httpStatus, const QString& message);

protected:
    virtual void handleFinished();
    // New body bytes arrived (the stall timer has been restarted).
    virtual void handleData();
    // Called before a failure is reported: drop what was kept of the body.
    virtual void discard() {}
    void fail(int error, int httpStatus, const QString& message);
    void finish();
    bool done() const { return m_done; }
    QNetworkReply* reply() const { return m_reply; }
    const Limits& limits() const { return m_limits; }
    int httpStatus() const;
    void failTooLarge();
    static QString transportMessage(QNetworkReply* reply);

private:
    void watch(int timeoutMs);
    void checkDeclaredLength();
    void checkRedirect(const QUrl& target);
    QTimer* startTimer(int ms, const QString& failure);

    QPointer<QNetworkReply> m_reply;
    QTimer* m_timer = nullptr;
    QTimer* m_stall = nullptr;
    Limits m_limits;
    bool m_done = false;
};
