#include "HttpFileRequest.h"
#include "HttpManager.h"
#include "HttpPeer.h"
#include "HttpRequest.h"

#include <QDir>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {
void answer(QTcpSocket* socket, int status, const QByteArray& body, qint64 announced = -1) {
    HttpPeer::answer(socket, status, body, {}, announced);
}

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

// Headers, then the body in parts of `part` bytes every `everyMs`, forever
// unless `total` is reached; the connection stays open.
void trickle(QTcpSocket* socket, const QByteArray& headers, int part, int everyMs, qint64 total) {
    socket->write("HTTP/1.1 200 X\r\n" + headers + "\r\n");
    auto* timer = new QTimer(socket);
    auto sent = std::make_shared<qint64>(0);
    QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, part, total, sent] {
        if (total >= 0 && *sent >= total) {
            timer->stop();
            return;
        }
        socket->write(QByteArray(part, 'z'));
        *sent += part;
    });
    timer->start(everyMs);
}
} // namespace

class TransportTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { HttpManager::instance()->setStallTimeoutMs(30000); }

    void getSendsHeadersAndDeliversBody() {
        HttpPeer peer;
        peer.setResponder(
            [](QTcpSocket* s, const HttpPeer::Request&) { answer(s, 200, "{\"status\":1}"); });
        HttpRequest* request = HttpManager::instance()->getWithHeader(
            peer.url("/a?q=中文"), {{"APP-NAME", "LINTAVO"}, {"IDFA", ""}}, 5000);
        QSignalSpy ok(request, &HttpRequest::onSuccess);
        QSignalSpy gone(request, &QObject::destroyed);
        QVERIFY(ok.wait(5000));
        QCOMPARE(ok.first().first().toString(), QString("{\"status\":1}"));
        const HttpPeer::Request sent = peer.requests().value(0);
        QCOMPARE(sent.method, QByteArray("GET"));
        QCOMPARE(sent.target, QByteArray("/a?q=%E4%B8%AD%E6%96%87"));
        QCOMPARE(sent.headers.value("app-name"), QByteArray("LINTAVO"));
        QVERIFY(sent.headers.contains("idfa"));
        QVERIFY(gone.wait(2000)); // the request frees itself
    }

    void postSendsJsonAndAnErrorPageStillCountsAsAnAnswer() {
        HttpPeer peer;
        peer.setResponder(
            [](QTcpSocket* s, const HttpPeer::Request&) { answer(s, 500, "<html>oops</html>"); });
        HttpRequest* request =
            HttpManager::instance()->postWithHeader(peer.url("/p"), "{\"a\":1}", {}, 5000);
        QSignalSpy ok(request, &HttpRequest::onSuccess);
        QVERIFY(ok.wait(5000));
        QCOMPARE(ok.first().first().toString(), QString("<html>oops</html>"));
        QCOMPARE(peer.requests().value(0).body, QByteArray("{\"a\":1}"));
        QCOMPARE(peer.requests().value(0).headers.value("content-type"),
                 QByteArray("application/json"));
    }

    void timeOutReportsFailure() {
        HttpPeer peer; // never answers
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

    void onlyWebAddressesAreFetched_data() {
        QTest::addColumn<QString>("url");
        for (const char* url : {"file:///etc/passwd", "ftp://127.0.0.1/x", "qrc:/images/a.png",
                                "data:text/plain,hello", "http:///no-host", "relative/path"})
            QTest::newRow(url) << QString(url);
    }
    void onlyWebAddressesAreFetched() {
        QFETCH(QString, url);
        QTemporaryDir dir;
        HttpManager* http = HttpManager::instance();
        HttpRequest* get = http->getWithHeader(url, {}, 5000);
        HttpRequest* post = http->postWithHeader(url, "{}", {}, 5000);
        HttpFileRequest* file = http->download(url, dir.filePath("copy"), 0);
        QSignalSpy getFail(get, &HttpRequest::onFail);
        QSignalSpy postFail(post, &HttpRequest::onFail);
        QSignalSpy fileFail(file, &HttpRequest::onFail);
        QSignalSpy fileOk(file, &HttpRequest::onSuccess);
        QTRY_VERIFY(getFail.count() == 1 && postFail.count() == 1 && fileFail.count() == 1);
        QCOMPARE(fileOk.count(), 0);
        QTest::qWait(50);
        QVERIFY(filesIn(dir.path()).isEmpty());
    }

    void redirectsStayOnTheWeb_data() {
        QTest::addColumn<QString>("location");
        QTest::addColumn<bool>("followed");
        QTest::newRow("same service") << "/moved.png" << true;
        QTest::newRow("local file") << "file:///etc/passwd" << false;
        QTest::newRow("ftp") << "ftp://127.0.0.1/x" << false;
    }
    void redirectsStayOnTheWeb() {
        QFETCH(QString, location);
        QFETCH(bool, followed);
        QTemporaryDir dir;
        HttpPeer peer;
        peer.setResponder([&](QTcpSocket* s, const HttpPeer::Request& r) {
            if (r.target == "/moved.png")
                answer(s, 200, "picture");
            else
                HttpPeer::answer(s, 302, "", "Location: " + location.toUtf8() + "\r\n");
        });
        const QString path = dir.filePath("pic.png");
        HttpFileRequest* request = HttpManager::instance()->download(peer.url("/pic.png"), path, 0);
        QSignalSpy ok(request, &HttpRequest::onSuccess);
        QSignalSpy fail(request, &HttpRequest::onFail);
        QVERIFY(QTest::qWaitFor([&] { return ok.count() + fail.count() > 0; }, 5000));
        QCOMPARE(ok.count(), followed ? 1 : 0);
        QTest::qWait(50);
        QCOMPARE(filesIn(dir.path()), followed ? QStringList({"pic.png"}) : QStringList());
    }

    void oversizedAnswerIsRefusedWhileItArrives_data() {
        QTest::addColumn<QByteArray>("headers");
        QTest::newRow("declared") << QByteArray("Content-Length: 173015040\r\n");
        QTest::newRow("undeclared") << QByteArray("Connection: close\r\n");
    }
    void oversizedAnswerIsRefusedWhileItArrives() {
        // The peer keeps sending and never ends: the client must give up on
        // its own once the answer passes 8 MB, not after buffering it all.
        QFETCH(QByteArray, headers);
        HttpPeer peer;
        peer.setResponder([&](QTcpSocket* s, const HttpPeer::Request&) {
            trickle(s, headers, 1024 * 1024, 20, -1);
        });
        HttpRequest* request = HttpManager::instance()->getWithHeader(peer.url("/big"), {}, 0);
        QSignalSpy fail(request, &HttpRequest::onFail);
        QSignalSpy ok(request, &HttpRequest::onSuccess);
        QVERIFY(fail.wait(10000));
        QVERIFY2(fail.first().at(2).toString().contains("larger than 8388608"),
                 qPrintable(fail.first().at(2).toString()));
        QCOMPARE(ok.count(), 0);
    }

    void downloadOverItsLimitKeepsThePreviousFile_data() {
        QTest::addColumn<QByteArray>("headers");
        QTest::newRow("declared") << QByteArray("Content-Length: 5000\r\n");
        QTest::newRow("undeclared") << QByteArray("Connection: close\r\n");
    }
    void downloadOverItsLimitKeepsThePreviousFile() {
        QFETCH(QByteArray, headers);
        QTemporaryDir dir;
        const QString path = dir.filePath("face.png");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        HttpPeer peer;
        peer.setResponder(
            [&](QTcpSocket* s, const HttpPeer::Request&) { trickle(s, headers, 500, 10, 5000); });
        HttpFileRequest* request =
            HttpManager::instance()->download(peer.url("/face.png"), path, 0, 1000, {});
        QSignalSpy fail(request, &HttpRequest::onFail);
        QVERIFY(fail.wait(5000));
        QTest::qWait(50);
        QCOMPARE(filesIn(dir.path()), QStringList({"face.png"}));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
    }

    void stalledTransferEndsButASlowOneDoesNot() {
        HttpManager::instance()->setStallTimeoutMs(1500);
        QTemporaryDir dir;
        HttpPeer peer;
        peer.setResponder([](QTcpSocket* s, const HttpPeer::Request& r) {
            // Both announce 3000 bytes; the slow one takes about 2 s to send
            // them, the stalled one stops after the first part.
            trickle(s, "Content-Length: 3000\r\n", 150, 100, r.target == "/slow" ? 3000 : 150);
        });
        HttpFileRequest* slow =
            HttpManager::instance()->download(peer.url("/slow"), dir.filePath("slow"), 0);
        HttpFileRequest* stalled =
            HttpManager::instance()->download(peer.url("/stalled"), dir.filePath("stalled"), 0);
        QSignalSpy slowOk(slow, &HttpRequest::onSuccess);
        QSignalSpy stalledFail(stalled, &HttpRequest::onFail);
        QVERIFY(stalledFail.wait(5000));
        QVERIFY(stalledFail.first().at(2).toString().contains("No data received"));
        QVERIFY(slowOk.wait(5000));
        QCOMPARE(QFileInfo(dir.filePath("slow")).size(), 3000);
        QVERIFY(!QFileInfo::exists(dir.filePath("stalled")));
    }

    void completeDownloadIsRenamedIntoPlace() {
        QTemporaryDir dir;
        HttpPeer peer;
        const QByteArray data(70000, 'x');
        peer.setResponder([&](QTcpSocket* s, const HttpPeer::Request&) { answer(s, 200, data); });
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
        HttpPeer peer;
        peer.setResponder([&](QTcpSocket* s, const HttpPeer::Request&) {
            answer(s, status, QByteArray(500, 'y'), announced);
        });
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
        HttpPeer peer;
        peer.setResponder(
            [](QTcpSocket* s, const HttpPeer::Request&) { answer(s, 200, "new", 9999); });
        HttpFileRequest* request = HttpManager::instance()->download(peer.url("/k"), path, 0);
        QSignalSpy fail(request, &HttpRequest::onFail);
        QVERIFY(fail.wait(5000));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(TransportTest)
#include "TransportTest.moc"
