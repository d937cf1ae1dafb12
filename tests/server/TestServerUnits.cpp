#include "ClipLayout.h"
#include "MediaLibrary.h"
#include "PasswordHasher.h"
#include "QrCodePng.h"
#include "QueryString.h"
#include "RequestSigner.h"
#include "UploadStorage.h"
#include "WordDictionary.h"

#include <QCryptographicHash>
#include <QImage>
#include <QMap>
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
