#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QTcpServer>

// A loopback HTTP listener for tests: records every request that reaches it
// and answers each with the current canned body, or drops the connection.
class CaptureServer : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QByteArray target;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    explicit CaptureServer(QObject* parent = nullptr);
    bool listen();
    QString origin() const;

    void setAnswer(const QByteArray& body) { m_answer = body; }
    // Close connections without answering: a transport failure for the client.
    void setDropping(bool dropping) { m_dropping = dropping; }
    // Keep the requests that arrive from now on unanswered until released:
    // their answers (the body current when they arrived) then come after
    // those of later requests.
    void setHolding(bool holding) { m_holding = holding; }
    void releaseHeld();
    const QList<Request>& requests() const { return m_requests; }
    void clear() { m_requests.clear(); }

private:
    void onConnection();
    void onReadable(QTcpSocket* socket);
    static bool parse(const QByteArray& data, Request* request);
    void answer(QTcpSocket* socket, const QByteArray& body);

    QTcpServer m_server;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    QList<Request> m_requests;
    QByteArray m_answer;
    bool m_dropping = false;
    bool m_holding = false;
    QList<QPair<QPointer<QTcpSocket>, QByteArray>> m_held;
};
