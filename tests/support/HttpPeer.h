#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QTcpServer>
#include <functional>

class QTcpSocket;

// A loopback HTTP peer whose answers each test scripts: it records every
// request (several per connection) and hands the socket to the responder,
// which may answer at once, in parts, late or never.
class HttpPeer : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QByteArray target;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };
    using Responder = std::function<void(QTcpSocket* socket, const Request& request)>;

    explicit HttpPeer(QObject* parent = nullptr);
    bool isListening() const { return m_server.isListening(); }
    QString url(const QString& path) const;
    void setResponder(Responder responder) { m_respond = std::move(responder); }
    const QList<Request>& requests() const { return m_requests; }
    void clear() { m_requests.clear(); }

    // A complete answer; announced overrides the Content-Length (to cut a body
    // short), extraHeaders are whole "Name: value\r\n" lines.
    static void answer(QTcpSocket* socket, int status, const QByteArray& body,
                       const QByteArray& extraHeaders = {}, qint64 announced = -1);

private:
    void onReadable(QTcpSocket* socket);
    static int parse(const QByteArray& data, Request* request);

    QTcpServer m_server;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    QList<Request> m_requests;
    Responder m_respond;
};
