#include "HttpFileRequest.h"
#include "HttpManager.h"
#include "HttpRequest.h"

#include <QDir>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <functional>

namespace {
// A loopback HTTP peer whose answer each test scripts: it records the raw
// request and hands the socket to the test's responder.
class Peer : public QObject {
public:
    std::function<void(QTcpSocket*)> respond;
    QByteArray lastRequest;

    Peer() {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                lastRequest += socket->readAll();
                if (lastRequest.contains("\r\n\r\n") && respond)
                    respond(socket);
            });
        });
    }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
    }

    QTcpServer server;
};

void answer(QTcpSocket* socket, int status, const QByteArray& body, int announced = -1) {
    socket->write("HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Length: " +
                  QByteArray::number(announced < 0 ? body.size() : announced) +
                  "\r\nConnection: close\r\n\r\n" + body);
    socket->flush();
    socket->disconnectFromHost();
}

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}
} // namespace

class TransportTest : public QObject {
    Q_OBJECT
private slots:
    void getSendsHeadersAndDeliversBody() {
        Peer peer;
        peer.respond = [](QTcpSocket* s) { answer(s, 200, "{\"status\":1}"); };
        HttpRequest* request = HttpManager::instance()->getWithHeader(
            peer.url("/a?q=中文"), {{"APP-NAME", "LINTAVO"}, {"IDFA", ""}}, 5000);
        QSignalSpy ok(request, &HttpRequest::onSuccess);
        QSignalSpy gone(request, &QObject::destroyed);
        QVERIFY(ok.wait(5000));
        QCOMPARE(ok.first().first().toString(), QString("{\"status\":1}"));
        QVERIFY(peer.lastRequest.contains("APP-NAME: LINTAVO\r\n"));
        QVERIFY(peer.lastRequest.contains("IDFA: \r\n"));
        QVERIFY(peer.lastRequest.startsWith("GET /a?q=%E4%B8%AD%E6%96%87 "));
        QVERIFY(gone.wait(2000)); // the request frees itself
    }

    void postSendsJsonAndAnErrorPageStillCountsAsAnAnswer() {
        Peer peer;
        peer.respond = [](QTcpSocket* s) {
            if (s->property("done").toBool())
                return;
            s->setProperty("done", true);
            answer(s, 500, "<html>oops</html>");
        };
        peer.respond = [&peer](QTcpSocket* s) {
            if (!peer.lastRequest.endsWith("{\"a\":1}"))
                return; // wait for the body
            answer(s, 500, "<html>oops</html>");
        };
        HttpRequest* request =
            HttpManager::instance()->postWithHeader(peer.url("/p"), "{\"a\":1}", {}, 5000);
        QSignalSpy ok(request, &HttpRequest::onSuccess);
        QVERIFY(ok.wait(5000));
        QCOMPARE(ok.first().first().toString(), QString("<html>oops</html>"));
        QVERIFY(peer.lastRequest.contains("Content-Type: application/json"));
    }

    void timeOutReportsFailure() {
        Peer peer; // never answers
        HttpRequest* request = HttpManager::instance()->getWithHeader(peer.url("/slow"), {}, 300);
        QSignalSpy fail(request, &HttpRequest::onFail);
        QSignalSpy ok(request, &HttpRequest::onSuccess);
        QVERIFY(fail.wait(5000));
        QVERIFY(fail.first().at(2).toString().contains("timed out"));
        QTest::qWait(100);
        QCOMPARE(ok.count(), 0);
    }

    void refusedConnectionReportsFailure() {
        quint16 port;
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            port = probe.serverPort();
        }
        HttpRequest* request = HttpManager::instance()->getWithHeader(
            QStringLiteral("http://127.0.0.1:%1/").arg(port), {}, 5000);
        QSignalSpy fail(request, &HttpRequest::onFail);
        QVERIFY(fail.wait(5000));
        QVERIFY(!fail.first().at(2).toString().isEmpty());
    }

    void completeDownloadIsRenamedIntoPlace() {
        QTemporaryDir dir;
        Peer peer;
        const QByteArray data(70000, 'x');
        peer.respond = [&](QTcpSocket* s) { answer(s, 200, data); };
        const QString path = dir.filePath("pic.png");
        HttpFileRequest* request = HttpManager::instance()->download(peer.url("/pic.png"), path, 0);
        QSignalSpy ok(request, &HttpRequest::onSuccess);
        QVERIFY(ok.wait(5000));
        QCOMPARE(ok.first().first().toString(), path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), data);
        QCOMPARE(filesIn(dir.path()), QStringList({"pic.png"}));
    }

    void cutOrFailedDownloadLeavesNoFile_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("announced");
        QTest::newRow("cut off") << 200 << 100000;
        QTest::newRow("not found") << 404 << -1;
    }

    void cutOrFailedDownloadLeavesNoFile() {
        QFETCH(int, status);
        QFETCH(int, announced);
        QTemporaryDir dir;
        Peer peer;
        peer.respond = [&](QTcpSocket* s) { answer(s, status, QByteArray(500, 'y'), announced); };
        const QString path = dir.filePath("track.mp3");
        HttpFileRequest* request = HttpManager::instance()->download(peer.url("/t.mp3"), path, 0);
        QSignalSpy fail(request, &HttpRequest::onFail);
        QSignalSpy ok(request, &HttpRequest::onSuccess);
        QVERIFY(fail.wait(5000));
        QCOMPARE(ok.count(), 0);
        QTest::qWait(50);
        QVERIFY(filesIn(dir.path()).isEmpty());
    }

    void failedDownloadKeepsAnExistingFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("keep.srt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        Peer peer;
        peer.respond = [](QTcpSocket* s) { answer(s, 200, "new", 9999); };
        HttpFileRequest* request = HttpManager::instance()->download(peer.url("/k"), path, 0);
        QSignalSpy fail(request, &HttpRequest::onFail);
        QVERIFY(fail.wait(5000));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
    }
};

QTEST_MAIN(TransportTest)
#include "TransportTest.moc"
