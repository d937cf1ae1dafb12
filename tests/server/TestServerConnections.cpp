#include "ApiClient.h"
#include "ServerProcess.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

// What a connection may hold: slow and idle clients must not starve others, request heads are
// bounded, and a connection carries request after request without mixing them up.
class TestServerConnections : public QObject {
    Q_OBJECT

private:
    ServerProcess server_;

    std::unique_ptr<QTcpSocket> connected() {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(server_.origin().host(), quint16(server_.origin().port()));
        socket->waitForConnected(10000);
        return socket;
    }
    // Everything the server sends until it closes the connection or `timeoutMs` pass.
    static QByteArray readAll(QTcpSocket& socket, int timeoutMs = 10000) {
        QByteArray answer;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs && socket.state() == QAbstractSocket::ConnectedState) {
            socket.waitForReadyRead(100);
            answer += socket.readAll();
        }
        return answer + socket.readAll();
    }
    static QByteArray statusLine(const QByteArray& answer) {
        return answer.left(answer.indexOf("\r\n"));
    }
    // One GET on a new connection; the status line, or "" when none came within 10 s.
    QByteArray get(const QByteArray& path) {
        auto socket = connected();
        socket->write("GET " + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        return statusLine(readAll(*socket));
    }

private slots:
    void initTestCase() {
        // Slow heads stay held for the whole test instead of timing out after 10 s.
        QVERIFY(server_.start({"--header-timeout", "60", "--max-requests-per-connection", "3"}));
    }
    void cleanupTestCase() { server_.stop(); }

    void slowConnectionsDoNotStarveRequests() {
        // More slow clients than worker threads, each sending one header line now and then
        // and never ending its request head.
        std::vector<std::unique_ptr<QTcpSocket>> slow;
        for (int i = 0; i < 200; ++i) {
            slow.push_back(connected());
            QCOMPARE(slow.back()->state(), QAbstractSocket::ConnectedState);
            slow.back()->write("GET / HTTP/1.1\r\nHost: slow\r\n");
        }
        QTimer trickle;
        connect(&trickle, &QTimer::timeout, this, [&] {
            for (auto& socket : slow)
                socket->write("X-Slow: 1\r\n");
        });
        trickle.start(500);
        QTest::qWait(1000);
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(get("/"), QByteArray("HTTP/1.1 200 OK"));
            qInfo("ordinary request answered in %lld ms", timer.elapsed());
        }
        // They were all still held, unanswered, while the others were served.
        for (auto& socket : slow) {
            QCOMPARE(socket->state(), QAbstractSocket::ConnectedState);
            QCOMPARE(socket->bytesAvailable(), qint64(0));
        }
    }

    void headerFloodIsRefused() {
        QByteArray many = "GET / HTTP/1.1\r\nHost: x\r\n";
        for (int i = 0; i < 150; ++i)
            many += "X-Line-" + QByteArray::number(i) + ": v\r\n";
        QByteArray large = "GET / HTTP/1.1\r\nHost: x\r\n";
        for (int i = 0; i < 400; ++i)
            large += "X-Big: " + QByteArray(8000, 'a') + "\r\n";
        for (const QByteArray& flood : {many, large}) {
            auto socket = connected();
            socket->write(flood + "\r\n");
            QCOMPARE(statusLine(readAll(*socket)),
                     QByteArray("HTTP/1.1 431 Request Header Fields Too Large"));
        }
        QCOMPARE(get("/" + QByteArray(9000, 'p')), QByteArray("HTTP/1.1 414 URI Too Long"));
        QCOMPARE(get("/"), QByteArray("HTTP/1.1 200 OK"));
    }

    void requestsFollowEachOtherOnOneConnection() {
        // Three requests sent at once are answered in order; the third is the last the
        // connection carries (started with three per connection).
        auto socket = connected();
        socket->write("GET /words/api?word=cat HTTP/1.1\r\nHost: x\r\n\r\n"
                      "POST /user/login HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\n[1,2]"
                      "GET /words/api?word=dog HTTP/1.1\r\nHost: x\r\n\r\n"
                      "GET /words/api?word=cow HTTP/1.1\r\nHost: x\r\n\r\n");
        QByteArray answer = readAll(*socket);
        QCOMPARE(answer.count("HTTP/1.1 200 OK"), 3);
        QVERIFY(answer.indexOf("\"cat\"") < answer.indexOf("JSON"));
        QVERIFY(answer.indexOf("JSON") < answer.indexOf("\"dog\""));
        QVERIFY(!answer.contains("\"cow\""));
        QVERIFY(answer.contains("Connection: close"));

        // A body the service refuses unread does not become the next request.
        socket = connected();
        QByteArray body = "GET /words/api?word=cat HTTP/1.1\r\n\r\n";
        socket->write("PUT /storage/x.aac HTTP/1.1\r\nHost: x\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        answer = readAll(*socket);
        QCOMPARE(statusLine(answer), QByteArray("HTTP/1.1 400 Bad Request"));
        QCOMPARE(answer.count("HTTP/1.1"), 1);
    }

    void idleConnectionsAreClosed() {
        auto idle = connected();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(idle->waitForDisconnected(20000));
        QVERIFY(timer.elapsed() >= 4000); // five seconds by default
    }
};

QTEST_GUILESS_MAIN(TestServerConnections)
#include "TestServerConnections.moc"
