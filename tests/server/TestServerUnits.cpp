#include "AudioProbe.h"
#include "ClipLayout.h"
#include "ContentSeeder.h"
#include "Database.h"
#include "JsonParams.h"
#include "LoginThrottle.h"
#include "MediaLibrary.h"
#include "PasswordHasher.h"
#include "QrCodePng.h"
#include "QueryString.h"
#include "RequestHead.h"
#include "RequestSigner.h"
#include "UploadStorage.h"
#include "WordDictionary.h"

#include <QCryptographicHash>
#include <QImage>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

using namespace lintavo;

// Pieces of the service that need no running server.
class TestServerUnits : public QObject {
    Q_OBJECT

private slots:
    void rawQueryParsing() {
        auto pairs =
            QueryString::parse("uid=0&auth_token=&&timesamp=12&k=a+b%20c%26d&flag&=x&e=%zz");
        QCOMPARE(int(pairs.size()), 7);
        QCOMPARE(QString::fromStdString(pairs[1].first), QString("auth_token"));
        QCOMPARE(QString::fromStdString(pairs[1].second), QString());
        QCOMPARE(QString::fromStdString(pairs[3].second), QString("a+b c&d"));
        QCOMPARE(QString::fromStdString(pairs[4].first), QString("flag"));
        QCOMPARE(QString::fromStdString(pairs[5].first), QString());
        QCOMPARE(QString::fromStdString(pairs[6].second), QString("%zz"));
        QCOMPARE(QString::fromStdString(QueryString::decode("%E7%8C%AB")), QString("猫"));
        QCOMPARE(QString::fromStdString(QueryString::queryOf("/a?x=1#frag")), QString("x=1"));
    }

    void signatureMatchesAQtMap() {
        // The same rule computed by a QMap walk and QCryptographicHash.
        QMap<QString, QVariant> map = {
            {"uid", "7"},          {"auth_token", "tok"}, {"timestamp", "1700000000"},
            {"keyword", "猫 cat"}, {"start", 0},          {"Rows", 50}};
        QMap<QString, QVariant> withKey = map;
        withKey.insert("security_key", "abcdefghij0123456789");
        QString text;
        for (auto it = withKey.begin(); it != withKey.end(); ++it)
            text += it.key() + it.value().toString();
        QString expected = QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex();
        std::map<std::string, std::string> params;
        for (auto it = map.begin(); it != map.end(); ++it)
            params[it.key().toStdString()] = it.value().toString().toStdString();
        params["sign"] = "ignored";
        RequestSigner signer("abcdefghij0123456789");
        QCOMPARE(QString::fromStdString(signer.sign(params)), expected);
        QVERIFY(signer.verify(params, expected.toStdString()));
        QVERIFY(!signer.verify(params, expected.toUpper().toStdString()));
        QVERIFY(RequestSigner::utf16Less("Zeta", "album_id"));
        QVERIFY(RequestSigner::utf16Less("album_id", "auth_token"));
        QVERIFY(RequestSigner::utf16Less("\xef\xbd\x81", "\xf0\x9f\x98\x80") ==
                false); // U+FF41 > surrogates
    }

    void jsonNumbersAsText() {
        std::map<std::string, std::string> params;
        QVERIFY(JsonParams::parseObject(
            R"({"a":1e300,"b":-1e300,"c":12.0,"d":-3,"e":0.5,"f":1e15,"g":18446744073709551615,)"
            R"("h":true,"i":null,"j":[1],"k":"x","l":999999999999999.0})",
            params));
        QCOMPARE(params["a"], std::string("1e+300")); // range checked before any integer cast
        QCOMPARE(params["b"], std::string("-1e+300"));
        QCOMPARE(params["c"], std::string("12"));
        QCOMPARE(params["d"], std::string("-3"));
        QCOMPARE(params["e"], std::string("0.5"));
        QCOMPARE(params["f"], std::string("1e+15"));
        QCOMPARE(params["g"], std::string("18446744073709551615"));
        QCOMPARE(params["h"], std::string("true"));
        QCOMPARE(params["i"], std::string());
        QCOMPARE(params["j"], std::string());
        QCOMPARE(params["l"], std::string("999999999999999"));
        QVERIFY(!JsonParams::parseObject("[1]", params));
        QVERIFY(!JsonParams::parseObject("{\"a\":", params));
    }

    void requestHeadLimits() {
        using S = RequestHead::State;
        RequestHead::Limits limits;
        auto scan = [&](const std::string& text) {
            return RequestHead::scan(text.data(), text.size(), limits);
        };
        std::string head = "POST /a HTTP/1.1\r\nHost: x\r\ncontent-LENGTH:  12 \r\n\r\nbody";
        RequestHead::Scan complete = scan(head);
        QCOMPARE(int(complete.state), int(S::Complete));
        QCOMPARE(complete.headBytes, head.size() - 4);
        QCOMPARE(complete.contentLength, int64_t(12));
        QCOMPARE(int(scan(head.substr(0, 30)).state), int(S::Incomplete));
        QCOMPARE(int(scan("GET / HTTP/1.1\r\nX: a\n\r\n").state), int(S::Complete));
        QVERIFY(scan("PUT / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n").chunked);
        QVERIFY(scan("POST / HTTP/1.1\r\nExpect: 100-Continue\r\n\r\n").expectsContinue);

        std::string many = "GET / HTTP/1.1\r\n";
        for (int i = 0; i < 100; ++i)
            many += "X-" + std::to_string(i) + ": v\r\n";
        QCOMPARE(int(scan(many + "\r\n").state), int(S::Complete));
        QCOMPARE(int(scan(many + "X: one too many\r\n").state), int(S::TooLarge));
        QCOMPARE(int(scan("GET / HTTP/1.1\r\nX: " + std::string(9000, 'a')).state),
                 int(S::TooLarge)); // a line beyond the limit, before its end arrived
        std::string big = "GET / HTTP/1.1\r\n";
        while (big.size() < limits.maxBytes)
            big += "X: " + std::string(4000, 'b') + "\r\n";
        QCOMPARE(int(scan(big).state), int(S::TooLarge));
        QCOMPARE(int(scan("GET /" + std::string(9000, 'c') + " HTTP/1.1\r\n").state),
                 int(S::RequestLineLong));
        for (const char* bad : {"POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n",
                                "POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n",
                                "POST / HTTP/1.1\r\nContent-Length: 1x\r\n\r\n",
                                "POST / HTTP/1.1\r\nContent-Length: 99999999999999999\r\n\r\n",
                                "POST / HTTP/1.1\r\nContent-Length: 5\r\nTransfer-Encoding: "
                                "chunked\r\n\r\n"})
            QVERIFY2(scan(bad).state == S::Malformed, bad);
    }

    void audioProbeRule() {
        const std::string aac = "codec_name=aac\ncodec_type=audio\nformat_name=aac\n";
        QVERIFY(AudioProbe::acceptable(aac, "aac"));
        QVERIFY(!AudioProbe::acceptable(aac, "wav"));
        QVERIFY(AudioProbe::acceptable("codec_name=pcm_s16le\ncodec_type=audio\nformat_name=wav",
                                       "wav"));
        const std::string m4a = "codec_name=aac\ncodec_type=audio\n"
                                "format_name=mov,mp4,m4a,3gp,3g2,mj2\n";
        QVERIFY(AudioProbe::acceptable(m4a, "m4a"));
        QVERIFY(!AudioProbe::acceptable(m4a + "codec_name=h264\ncodec_type=video\n", "m4a"));
        QVERIFY(!AudioProbe::acceptable("format_name=mp3\n", "mp3")); // no stream at all
        QVERIFY(!AudioProbe::acceptable("", "aac"));
    }

    void loginBackOffDoubles() {
        QTemporaryDir folder;
        Database db(folder.filePath("t.sqlite").toStdString());
        ContentSeeder(db).createSchema();
        LoginThrottle throttle(db);
        const int64_t t0 = 1700000000;
        for (int i = 0; i < 3; ++i)
            throttle.failed("k", 3, t0);
        QCOMPARE(throttle.waitSeconds("k", t0), int64_t(0)); // free failures
        // Each block lasts at least its length: a second more on a clock of
        // whole seconds.
        throttle.failed("k", 3, t0);
        QCOMPARE(throttle.waitSeconds("k", t0), int64_t(2));
        throttle.failed("k", 3, t0 + 1);
        QCOMPARE(throttle.waitSeconds("k", t0 + 1), int64_t(3));
        for (int i = 0; i < 30; ++i)
            throttle.failed("k", 3, t0 + 2);
        QCOMPARE(throttle.waitSeconds("k", t0 + 2), LoginThrottle::kMaxBlockSeconds + 1);
        QCOMPARE(throttle.waitSeconds("other", t0), int64_t(0));
        // Failures an hour old are forgotten; a login forgets them at once.
        throttle.failed("k", 3, t0 + 2 + LoginThrottle::kForgetSeconds + 1);
        QCOMPARE(throttle.waitSeconds("k", t0 + 2 + LoginThrottle::kForgetSeconds + 1), int64_t(0));
        for (int i = 0; i < 5; ++i)
            throttle.failed("k", 3, t0 + 9000);
        throttle.succeeded("k");
        QCOMPARE(throttle.waitSeconds("k", t0 + 9000), int64_t(0));
    }

    void clipLayoutRoundTrip() {
        std::vector<SeedSentence> sentences = {
            {"One.", "一。"}, {"Two words.", "两个词。"}, {"Three.", "三。"}};
        int total = 0;
        auto timed = ClipLayout::arrange({1200, 1500, 900}, sentences, total);
        QCOMPARE(total, ClipLayout::kMinimumClipMs); // short clips are stretched to 10 s
        QCOMPARE(timed[0].startMs, 1000);
        QVERIFY(timed[1].startMs > timed[0].stopMs && timed[2].stopMs < total);
        std::string text = ClipLayout::subtitleText(timed);
        QVERIFY(text.rfind("\xEF\xBB\xBF"
                           "1\n00:00:01,000 --> 00:00:02,200\nOne.\n一。\n\n",
                           0) == 0);
        auto parsed = ClipLayout::parseSubtitle(text);
        QCOMPARE(int(parsed.size()), 3);
        QCOMPARE(parsed[2].stopMs, timed[2].stopMs);
        QCOMPARE(QString::fromStdString(parsed[1].cn), QString("两个词。"));
        QCOMPARE(ClipLayout::parseTime("01:02:03,004"), 3723004);
    }

    void safeNames() {
        QVERIFY(MediaLibrary::safeName("clip1.mp4"));
        QVERIFY(MediaLibrary::safeName("dubs/clip1-dub.aac"));
        for (const char* bad : {"../x", "a/../b", "/etc/passwd", ".lock-job1", "a/b/c", "", "a\\b"})
            QVERIFY2(!MediaLibrary::safeName(bad), bad);
        QVERIFY(UploadStorage::validKey("2026-12-07-14-05-09-product.aac"));
        for (const char* bad : {"x.exe", "../a.aac", "a/b.aac", ".hidden.aac", "a..aac", "a.aac\n"})
            QVERIFY2(!UploadStorage::validKey(bad), bad);
    }

    void passwordHashes() {
        std::string stored = PasswordHasher::hash("lintavo01");
        QVERIFY(stored.find("lintavo01") == std::string::npos);
        QVERIFY(stored != PasswordHasher::hash("lintavo01")); // salted
        QVERIFY(PasswordHasher::verify("lintavo01", stored));
        QVERIFY(!PasswordHasher::verify("lintavo02", stored));
        QVERIFY(!PasswordHasher::verify("x", "5f4dcc3b5aa765d61d8327deb882cf99"));
    }

    void qrCodeIsAPng() {
        std::string png = QrCodePng::render("http://127.0.0.1:8642/connect/confirm?code_id=abc");
        QImage image =
            QImage::fromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG");
        QVERIFY(!image.isNull());
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));         // quiet zone
        QCOMPARE(image.pixelColor(4 * 6, 4 * 6), QColor(Qt::black)); // finder pattern corner
    }

    void wordNetBaseForms() {
        WordDictionary dictionary;
        QVERIFY(QString::fromStdString(dictionary.meaning("mice")).contains("rodent"));
        QVERIFY(QString::fromStdString(dictionary.meaning("went")).startsWith("n.") ||
                QString::fromStdString(dictionary.meaning("went")).contains("v."));
        QVERIFY(dictionary.meaning("zzzqqq").empty());
    }
};

QTEST_GUILESS_MAIN(TestServerUnits)
#include "TestServerUnits.moc"
