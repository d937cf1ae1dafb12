#include "ApiClient.h"
#include "ServerProcess.h"

#include <QJsonArray>
#include <QTcpSocket>
#include <QtTest>

// The signature and timestamp checks, and bad requests that must neither store anything nor
// stop the service.
class TestServerSigning : public QObject {
    Q_OBJECT

private:
    ServerProcess server_;
    std::unique_ptr<ApiClient> api_;

    ApiClient::Reply natures(const QString& ts, const QString& signature) {
        return api_->get("/basic/nature?uid=0&auth_token=&timestamp=" + ts + "&sign=" + signature);
    }

    // One request written as it stands; the answer's status line, or "" when none came.
    QByteArray rawStatusLine(const QByteArray& head) {
        QTcpSocket socket;
        socket.connectToHost(server_.origin().host(), quint16(server_.origin().port()));
        if (!socket.waitForConnected(5000))
            return {};
        socket.write(head + "Host: 127.0.0.1\r\nConnection: close\r\n\r\n");
        QByteArray answer;
        while (!answer.contains("\r\n") && socket.waitForReadyRead(15000))
            answer += socket.readAll();
        return answer.left(answer.indexOf("\r\n"));
    }

private slots:
    void initTestCase() {
        QVERIFY(server_.start());
        api_ = std::make_unique<ApiClient>(server_.origin());
    }
    void cleanupTestCase() { server_.stop(); }

    void independentSignatureAccepted() {
        QString ts = ApiClient::timestamp();
        QString good = ApiClient::sign({{"uid", "0"}, {"auth_token", ""}, {"timestamp", ts}});
        ApiClient::Reply reply = natures(ts, good);
        QCOMPARE(reply.json().value("status").toInt(), 1);
        QCOMPARE(reply.headers.value("x-lintavo-signature"), QByteArray("ok"));
    }

    void badMissingAndStaleSignatures() {
        QString ts = ApiClient::timestamp();
        ApiClient::Reply bad = natures(ts, QString(32, 'a'));
        QCOMPARE(bad.json().value("status").toInt(), 0);
        QVERIFY(bad.json().value("msg").toString().contains("signature"));
        QCOMPARE(bad.headers.value("x-lintavo-signature"), QByteArray("bad"));
        ApiClient::Reply missing = api_->get("/basic/nature?uid=0&auth_token=&timestamp=" + ts);
        QCOMPARE(missing.json().value("status").toInt(), 0);
        QCOMPARE(missing.headers.value("x-lintavo-signature"), QByteArray("none"));
        QString stale = QString::number(ts.toLongLong() - 3600);
        ApiClient::Reply old = natures(
            stale, ApiClient::sign({{"uid", "0"}, {"auth_token", ""}, {"timestamp", stale}}));
        QCOMPARE(old.json().value("status").toInt(), 0);
        QVERIFY(old.json().value("msg").toString().contains("stale"));
        ApiClient::Reply word = natures(
            "soon", ApiClient::sign({{"uid", "0"}, {"auth_token", ""}, {"timestamp", "soon"}}));
        QCOMPARE(word.json().value("status").toInt(), 0);
        QVERIFY(server_.log().contains("GET /basic/nature status=0 sig=bad"));
    }

    void everyParameterIsSignedInUtf16Order() {
        // An extra upper-case key sorts before every lower-case key and must be signed too.
        QString ts = ApiClient::timestamp();
        QMap<QString, QVariant> map = {
            {"uid", "0"}, {"auth_token", ""}, {"timestamp", ts}, {"Zeta", "z"}};
        QString query = "/basic/nature?uid=0&auth_token=&timestamp=" + ts + "&Zeta=z&sign=";
        QCOMPARE(api_->get(query + ApiClient::sign(map)).json().value("status").toInt(), 1);
        map.remove("Zeta");
        QCOMPARE(api_->get(query + ApiClient::sign(map)).json().value("status").toInt(), 0);
    }

    void queryBuilderKeepsPlusSigns() {
        QJsonObject answer = api_->getBuilt(
            "/course/get_course_list?",
            {{"uid", ""}, {"auth_token", ""}, {"start", "0"}, {"rows", "50"}, {"sort", "a+b c"}});
        // Signed as "a+b c": the signature passes and the unknown sort is refused on its own.
        QCOMPARE(answer.value("status").toInt(), 0);
        QVERIFY(answer.value("msg").toString().contains("sort"));
    }

    void jsonNumbersSignAsDecimalText() {
        QJsonObject user = api_->login("learner01", "lintavo01");
        QVERIFY(!user.value("auth_token").toString().isEmpty());
        QJsonObject plans = api_->postAs(user, "/funds/vip_list", {{"svip", 1}});
        QCOMPARE(plans.value("status").toInt(), 1);
        QVERIFY(!plans.value("data").toObject().value("package_list").toArray().isEmpty());
    }

    void malformedBodiesAreRefused() {
        ApiClient::Reply notJson = api_->send("POST", "/user/login", "mobile=learner01");
        QCOMPARE(notJson.json().value("status").toInt(), 0);
        ApiClient::Reply array = api_->send("POST", "/user/login", "[1,2]");
        QCOMPARE(array.json().value("status").toInt(), 0);
        QByteArray huge = "{\"mobile\":\"" + QByteArray(200 * 1024, 'x') + "\"}";
        ApiClient::Reply large = api_->send("POST", "/user/login", huge);
        QCOMPARE(large.json().value("status").toInt(), 0);
        QVERIFY(large.json().value("msg").toString().contains("too large"));
        QVariantMap longValue = {{"mobile", QString(5000, 'y')}, {"password", "x"}};
        QCOMPARE(api_->post("/user/login", longValue).value("status").toInt(), 0);
        // Still serving.
        QString ts = ApiClient::timestamp();
        QCOMPARE(natures(ts, ApiClient::sign({{"uid", "0"}, {"auth_token", ""}, {"timestamp", ts}}))
                     .json()
                     .value("status")
                     .toInt(),
                 1);
    }

    void addressesIgnoreTheHostHeader() {
        QString ts = ApiClient::timestamp();
        QString query = "/advert/lists?uid=0&auth_token=&timestamp=" + ts +
                        "&type=windows_index_banner&sign=" +
                        ApiClient::sign({{"uid", "0"},
                                         {"auth_token", ""},
                                         {"timestamp", ts},
                                         {"type", "windows_index_banner"}});
        QTcpSocket socket;
        socket.connectToHost(server_.origin().host(), quint16(server_.origin().port()));
        QVERIFY(socket.waitForConnected(5000));
        socket.write("GET " + query.toLatin1() +
                     " HTTP/1.1\r\nHost: evil.example:80\r\nConnection: close\r\n\r\n");
        QByteArray answer;
        while (socket.waitForReadyRead(10000))
            answer += socket.readAll();
        QVERIFY(answer.contains(server_.origin().toString().toUtf8() + "/media/"));
        QVERIFY(!answer.contains("evil.example"));
    }

    void testHelpersOnlyWhenAskedFor() {
        QVERIFY(api_->get("/test/sms_code?mobile=13800000001").httpStatus == 200);
        ServerProcess plain;
        QVERIFY(plain.start({}, false));
        ApiClient client(plain.origin());
        QCOMPARE(client.get("/test/sms_code?mobile=13800000001").httpStatus, 404);
        QCOMPARE(client.get("/test/wechat_confirm?code_id=x").httpStatus, 404);
    }

    void bodiesOfUnknownSizeAreRefusedUnread() {
        // Chunked, unsized and compressed bodies would be read whole before any check.
        QCOMPARE(rawStatusLine("POST /user/login HTTP/1.1\r\nTransfer-Encoding: chunked\r\n"),
                 QByteArray("HTTP/1.1 411 Length Required"));
        QCOMPARE(rawStatusLine("POST /user/login HTTP/1.1\r\n"),
                 QByteArray("HTTP/1.1 411 Length Required"));
        QCOMPARE(rawStatusLine("POST /user/login HTTP/1.1\r\nContent-Encoding: gzip\r\n"
                               "Content-Length: 0\r\n"),
                 QByteArray("HTTP/1.1 415 Unsupported Media Type"));
        QCOMPARE(rawStatusLine("POST /user/login HTTP/1.1\r\nContent-Length: 0\r\n"),
                 QByteArray("HTTP/1.1 200 OK"));
    }
};

QTEST_GUILESS_MAIN(TestServerSigning)
#include "TestServerSigning.moc"
