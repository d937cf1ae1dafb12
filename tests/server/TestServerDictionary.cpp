#include "ApiClient.h"
#include "ServerProcess.h"

#include <QDir>
#include <QtTest>

// The dictionary origin against the real espeak-ng and WordNet.
class TestServerDictionary : public QObject {
    Q_OBJECT

private:
    ServerProcess server_;
    std::unique_ptr<ApiClient> api_;

    QJsonObject word(const QString& w) {
        return api_->get("/words/api?word=" + QString::fromLatin1(QUrl::toPercentEncoding(w)))
            .json();
    }

private slots:
    void initTestCase() {
        QVERIFY(server_.start());
        api_ = std::make_unique<ApiClient>(server_.origin());
    }
    void cleanupTestCase() { server_.stop(); }

    void wordRecordHasBothPhoneticsAndAMeaning() {
        QJsonObject record = word("hello").value("data").toObject();
        QCOMPARE(record.value("word").toString(), QString("hello"));
        QVERIFY(record.value("ukphonetic").toString().contains("əʊ"));
        QVERIFY(record.value("usphonetic").toString().contains("oʊ"));
        QVERIFY(record.value("meaning").toString().contains("greeting"));
        QVERIFY(word("Cats").value("data").toObject().value("meaning").toString().startsWith("n."));
        QVERIFY(!word("running").value("data").toObject().value("meaning").toString().isEmpty());
        // Second lookup comes from the cache and is the same.
        QCOMPARE(word("hello").value("data").toObject(), record);
    }

    void badWordsAreRefused() {
        QCOMPARE(word("qzxqzxv").value("status").toInt(), 0);
        QCOMPARE(word("he<llo>").value("status").toInt(), 0);
        QCOMPARE(word("").value("status").toInt(), 0);
        QCOMPARE(word(QString(200, 'a')).value("status").toInt(), 0);
        QCOMPARE(word("'; DROP TABLE words; --").value("status").toInt(), 0);
    }

    void voicesAreSpokenWaves() {
        ApiClient::Reply uk = api_->get("/dictvoice?type=1&audio=water");
        ApiClient::Reply us = api_->get("/dictvoice?type=0&audio=water");
        QCOMPARE(uk.httpStatus, 200);
        QCOMPARE(uk.headers.value("content-type"), QByteArray("audio/wav"));
        QVERIFY(uk.body.startsWith("RIFF"));
        QVERIFY(us.body.startsWith("RIFF"));
        QVERIFY(uk.body != us.body);
        QCOMPARE(api_->get("/dictvoice?type=2&audio=water").httpStatus, 400);
        QCOMPARE(api_->get("/dictvoice?type=1&audio=../../etc/passwd").httpStatus, 400);
    }

    void parallelRequestsForANewWordGetOneWholeFile() {
        QList<ApiClient::Call> calls;
        for (int i = 0; i < 48; ++i)
            calls << ApiClient::Call{"GET", "/dictvoice?type=0&audio=harbour", {}, {}};
        QList<ApiClient::Reply> replies = api_->sendAll(calls);
        QVERIFY(replies[0].body.startsWith("RIFF"));
        for (const auto& reply : replies) {
            QCOMPARE(reply.httpStatus, 200);
            QCOMPARE(reply.body, replies[0].body);
        }
        QDir voices(server_.dataDir() + "/voice");
        QCOMPARE(voices.entryList({"*.part*"}, QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestServerDictionary)
#include "TestServerDictionary.moc"
