#include "HttpPeer.h"

#include <QTcpSocket>

HttpPeer::HttpPeer(QObject* parent) : QObject(parent) {
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_buffers.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

QString HttpPeer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

int HttpPeer::parse(const QByteArray& data, Request* request) {
    const int end = data.indexOf("\r\n\r\n");
    if (end < 0)
        return 0;
    const QList<QByteArray> lines = data.left(end).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request->method = first.value(0);
    request->target = first.value(1);
    for (int i = 1; i < lines.size(); ++i) {
        const int colon = lines[i].indexOf(':');
        if (colon > 0)
            request->headers.insert(lines[i].left(colon).trimmed().toLower(),
                                    lines[i].mid(colon + 1).trimmed());
    }
    const int length = request->headers.value("content-length", "0").toInt();
    if (data.size() < end + 4 + length)
        return 0;
    request->body = data.mid(end + 4, length);
    return end + 4 + length;
}

void HttpPeer::onReadable(QTcpSocket* socket) {
    m_buffers[socket] += socket->readAll();
    Request request;
    // The responder may close the socket, which forgets its buffer.
    while (m_buffers.contains(socket)) {
        const int used = parse(m_buffers[socket], &request);
        if (!used)
            return;
        m_buffers[socket].remove(0, used);
        m_requests.append(request);
        if (m_respond)
            m_respond(socket, request);
        request = Request();
    }
}

void HttpPeer::answer(QTcpSocket* socket, int status, const QByteArray& body,
                      const QByteArray& extraHeaders, qint64 announced) {
    socket->write("HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Length: " +
                  QByteArray::number(announced < 0 ? body.size() : announced) + "\r\n" +
                  extraHeaders + "Connection: close\r\n\r\n" + body);
    socket->flush();
    socket->disconnectFromHost();
}
