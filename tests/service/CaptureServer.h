#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
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
    const QList<Request>& requests() const { return m_requests; }
    void clear() { m_requests.clear(); }

private:
    void onConnection();
    void onReadable(QTcpSocket* socket);
    static bool parse(const QByteArray& data, Request* request);
    void answer(QTcpSocket* socket);

    QTcpServer m_server;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    QList<Request> m_requests;
    QByteArray m_answer;
    bool m_dropping = false;
};
