#include "ScriptedApi.h"

ScriptedApi::ScriptedApi() {
    m_peer.setResponder([this](QTcpSocket* socket, const HttpPeer::Request&) {
        if (m_dropping)
            socket->abort();
        else if (m_holding)
            m_held.append({socket, m_answer});
        else
            answer(socket, m_answer);
    });
}

void ScriptedApi::releaseHeld() {
    for (const auto& held : qAsConst(m_held))
        if (held.first && held.first->state() == QAbstractSocket::ConnectedState)
            answer(held.first, held.second);
    m_held.clear();
}

void ScriptedApi::answer(QTcpSocket* socket, const QByteArray& body) {
    HttpPeer::answer(socket, 200, body, "Content-Type: application/json; charset=utf-8\r\n");
}
