#include "CaptureServer.h"

#include <QTcpSocket>

CaptureServer::CaptureServer(QObject* parent) : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, &CaptureServer::onConnection);
}

bool CaptureServer::listen() {
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString CaptureServer::origin() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

void CaptureServer::onConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

bool CaptureServer::parse(const QByteArray& data, Request* request) {
    const int end = data.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
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
        return false;
    request->body = data.mid(end + 4, length);
    return true;
}

void CaptureServer::onReadable(QTcpSocket* socket) {
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    Request request;
    if (!parse(buffer, &request))
        return;
    m_buffers.remove(socket);
    m_requests.append(request);
    if (m_dropping)
        socket->abort();
    else if (m_holding)
        m_held.append({socket, m_answer});
    else
        answer(socket, m_answer);
}

void CaptureServer::releaseHeld() {
    for (const auto& held : qAsConst(m_held))
        if (held.first && held.first->state() == QAbstractSocket::ConnectedState)
            answer(held.first, held.second);
    m_held.clear();
}

void CaptureServer::answer(QTcpSocket* socket, const QByteArray& body) {
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json; charset=utf-8\r\n"
                  "Connection: close\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
    socket->disconnectFromHost();
}
