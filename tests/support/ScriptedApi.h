#pragma once

#include "HttpPeer.h"

#include <QPointer>
#include <QTcpSocket>

// A loopback stand-in for the service's API that answers every request with
// one JSON body, or drops the connection (a transport failure), or holds the
// answer back until released so that it arrives after later ones.
class ScriptedApi {
public:
    ScriptedApi();
    bool isListening() const { return m_peer.isListening(); }
    QString origin() const { return m_peer.url(QString()); }
    void setAnswer(const QByteArray& body) { m_answer = body; }
    void setDropping(bool dropping) { m_dropping = dropping; }
    // Requests arriving while holding keep the answer current at their arrival.
    void setHolding(bool holding) { m_holding = holding; }
    void releaseHeld();
    const QList<HttpPeer::Request>& requests() const { return m_peer.requests(); }
    void clear() { m_peer.clear(); }

private:
    static void answer(QTcpSocket* socket, const QByteArray& body);

    HttpPeer m_peer;
    QByteArray m_answer;
    bool m_dropping = false;
    bool m_holding = false;
    QList<QPair<QPointer<QTcpSocket>, QByteArray>> m_held;
};
