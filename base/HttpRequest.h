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
    HttpRequest(QNetworkReply* reply, int timeoutMs, QObject* parent);

signals:
    // The server answered (whatever its HTTP status); the body as UTF-8 text.
    void onSuccess(const QString& body);
    // No answer: transport error or time-out. First int: QNetworkReply error
    // code (or -1 for a time-out); second: HTTP status if any.
    void onFail(int error, int httpStatus, const QString& message);

protected:
    virtual void handleFinished();
    virtual void handleTimeout();
    void finish();
    QNetworkReply* reply() const { return m_reply; }
    bool timedOut() const { return m_timedOut; }
    int timeoutMs() const { return m_timeoutMs; }
    static QString transportMessage(QNetworkReply* reply);

private:
    QPointer<QNetworkReply> m_reply;
    QTimer* m_timer = nullptr;
    int m_timeoutMs;
    bool m_timedOut = false;
    bool m_done = false;
};
