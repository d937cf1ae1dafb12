// Subtitle files as the service sends them, and as they go wrong.
#include "SubtitleParser.h"
#include "SentenceTime.h"

#include <QFile>
#include <QTextCodec>
#include <QtTest>

namespace {
const QString kChinese = QStringLiteral("你好，世界");

QVariantMap at(const QVariantList& list, int i) {
    return list.value(i).toMap();
}
} // namespace

class SubtitleParserTest : public QObject {
    Q_OBJECT
private slots:
    void wellFormedRecords();
    void shortOrPaddedRecordKeepLaterRecords();
    void blankLineInsideARecord();
    void encodings_data();
    void encodings();
    void lineEndings_data();
    void lineEndings();
    void unreadableFileGivesNoSentences();
    void sentenceTimes();
};

void SubtitleParserTest::wellFormedRecords() {
    const QByteArray file =
        "1\n00:00:01,000 --> 00:00:02,500\nHello, world!\n" + kChinese.toUtf8() +
        "\n\n2\r\n00:00:03,000 --> 00:00:04,250\r\nSecond one.\r\n第二句\r\n\r\n"
        "x\n00:00:05,000 --> 00:00:06,000\nThird\n第三\n";
    const QVariantList list = SubtitleParser::parse(file);
    QCOMPARE(list.size(), 3);
    QCOMPARE(at(list, 0).value("line").toInt(), 1);
    QCOMPARE(at(list, 0).value("start").toString(), QStringLiteral("00:00:01,000"));
    QCOMPARE(at(list, 0).value("stop").toString(), QStringLiteral("00:00:02,500"));
    QCOMPARE(at(list, 0).value("en").toString(), QStringLiteral("Hello, world!"));
    QCOMPARE(at(list, 0).value("cn").toString(), kChinese);
    QCOMPARE(at(list, 1).value("stop").toString(), QStringLiteral("00:00:04,250")); // no \r left
    QCOMPARE(at(list, 1).value("cn").toString(), QStringLiteral("第二句"));
    QCOMPARE(at(list, 2).value("line").toInt(), 0); // not a number
    QCOMPARE(at(list, 2).value("en").toString(), QStringLiteral("Third"));
}

void SubtitleParserTest::shortOrPaddedRecordKeepLaterRecords() {
    // Record 1 lacks its Chinese line, record 2 is followed by two extra
    // blank lines, the file ends without a separator.
    const QByteArray file = "1\n00:00:01,000 --> 00:00:02,000\nOnly English\n\n"
                            "2\n00:00:03,000 --> 00:00:04,000\nTwo\n二\n\n\n\n"
                            "3\n00:00:05,000 --> 00:00:06,000\nThree\n三";
    const QVariantList list = SubtitleParser::parse(file);
    QCOMPARE(list.size(), 3);
    QCOMPARE(at(list, 0).value("cn").toString(), QString());
    QCOMPARE(at(list, 1).value("start").toString(), QStringLiteral("00:00:03,000"));
    QCOMPARE(at(list, 1).value("en").toString(), QStringLiteral("Two"));
    QCOMPARE(at(list, 2).value("line").toInt(), 3);
    QCOMPARE(at(list, 2).value("stop").toString(), QStringLiteral("00:00:06,000"));
    QCOMPARE(at(list, 2).value("cn").toString(), QStringLiteral("三"));
}

void SubtitleParserTest::blankLineInsideARecord() {
    const QByteArray file = "1\n00:00:01,000 --> 00:00:02,000\nEnglish\n\n中文\n\n"
                            "2\n\n00:00:03,000 --> 00:00:04,000\nTwo\n二\n";
    const QVariantList list = SubtitleParser::parse(file);
    QCOMPARE(list.size(), 2);
    QCOMPARE(at(list, 0).value("cn").toString(), QStringLiteral("中文"));
    QCOMPARE(at(list, 1).value("line").toInt(), 2);
    QCOMPARE(at(list, 1).value("en").toString(), QStringLiteral("Two"));
}

void SubtitleParserTest::encodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("cn");
    const QString text = QStringLiteral("1\n00:00:01,000 --> 00:00:02,000\nHi\n") + kChinese + "\n";
    QTest::newRow("utf-8") << text.toUtf8() << kChinese;
    QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << kChinese;
    QTest::newRow("gbk") << QTextCodec::codecForName("GBK")->fromUnicode(text) << kChinese;
    QTest::newRow("utf-16 with mark")
        << QTextCodec::codecForName("UTF-16")->fromUnicode(text) << kChinese;
    // One damaged byte must not turn the whole file into GBK mojibake.
    QByteArray damaged = text.toUtf8();
    damaged.replace("Hi", "H\xFFi");
    QTest::newRow("utf-8 with a bad byte") << damaged << kChinese;
    QTest::newRow("utf-8 cut short") << text.toUtf8() + "\xE4\xBD" << kChinese;
    // Here as many GBK byte pairs as anywhere happen to read as UTF-8.
    const QString most = QStringLiteral("我不知道你在说什么");
    QTest::newRow("gbk partly valid as utf-8")
        << QTextCodec::codecForName("GBK")->fromUnicode(QString(text).replace(kChinese, most))
        << most;
}

void SubtitleParserTest::encodings() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, cn);
    const QVariantList list = SubtitleParser::parse(bytes);
    QCOMPARE(list.size(), 1);
    QCOMPARE(at(list, 0).value("line").toInt(), 1); // no mark left before the number
    QCOMPARE(at(list, 0).value("cn").toString(), cn);
}

void SubtitleParserTest::lineEndings_data() {
    QTest::addColumn<QByteArray>("ending");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CRLF") << QByteArray("\r\n");
    QTest::newRow("CR") << QByteArray("\r");
}

void SubtitleParserTest::lineEndings() {
    QFETCH(QByteArray, ending);
    QByteArray file = "1\n00:00:01,000 --> 00:00:02,000\nOne\n一\n\n"
                      "2\n00:00:03,000 --> 00:00:04,000\nTwo\n二\n";
    file.replace("\n", ending);
    const QVariantList list = SubtitleParser::parse(file);
    QCOMPARE(list.size(), 2);
    QCOMPARE(at(list, 0).value("stop").toString(), QStringLiteral("00:00:02,000"));
    QCOMPARE(at(list, 0).value("cn").toString(), QStringLiteral("一"));
    QCOMPARE(at(list, 1).value("line").toInt(), 2);
    QCOMPARE(at(list, 1).value("en").toString(), QStringLiteral("Two"));
}

void SubtitleParserTest::unreadableFileGivesNoSentences() {
    QVERIFY(SubtitleParser::parseFile(QStringLiteral("no-such-file.srt")).isEmpty());
    QFile file(QStringLiteral("clip.srt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("1\n00:00:01,000 --> 00:00:02,000\nHi\n你\n");
    file.close();
    QCOMPARE(SubtitleParser::parseFile(QStringLiteral("clip.srt")).size(), 1);
    QVERIFY(SubtitleParser::parse(QByteArray()).isEmpty());
}

void SubtitleParserTest::sentenceTimes() {
    QCOMPARE(SentenceTime::toMs("00:00:01,250"), 1250);
    QCOMPARE(SentenceTime::toMs("01:02:03,004"), 3723004);
    QCOMPARE(SentenceTime::toMs("00:00:00,000"), 0);
    QCOMPARE(SentenceTime::toMs("0:00:01,250"), -1);
    QCOMPARE(SentenceTime::toMs("00:00:01.250"), -1);
    QCOMPARE(SentenceTime::toMs(""), -1);
    QCOMPARE(SentenceTime::toMs("junk", 0), 0);
}

QTEST_GUILESS_MAIN(SubtitleParserTest)
#include "SubtitleParserTest.moc"
