// Picking the clicked word out of a subtitle line, and the word card.
#include "EnText.h"
#include "ServiceSettings.h"
#include "WordView.h"

#include <QLabel>
#include <QMediaPlayer>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

class SubtitleTextTest : public QObject {
    Q_OBJECT
private slots:
    void wordAt_data();
    void wordAt();
    void clickEmitsTheWord();
    void clickOnAnEmptyLineEmitsNothing();
    void cardShowsTheRecord();
    void cardPronouncesFromTheDictionary();
};

void SubtitleTextTest::wordAt_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pos");
    QTest::addColumn<QString>("word");
    const QString hello = QStringLiteral("Hello, world!");
    QTest::newRow("start of text") << hello << 0 << "Hello";
    QTest::newRow("inside a word") << hello << 9 << "world";
    QTest::newRow("right after the space") << hello << 7 << "world";
    QTest::newRow("on the space ending a word") << hello << 6 << "Hello";
    QTest::newRow("end of text") << hello << hello.size() << "world";
    QTest::newRow("past the end") << hello << 99 << "world";
    QTest::newRow("one word") << QStringLiteral("Why?") << 2 << "Why";
    QTest::newRow("apostrophe and hyphen stay")
        << QStringLiteral("It's well-known; really.") << 8 << "well-known";
    QTest::newRow("first word inside") << QStringLiteral("I can't.") << 5 << "can't";
    QTest::newRow("empty") << QString() << 0 << QString();
}

void SubtitleTextTest::wordAt() {
    QFETCH(QString, text);
    QFETCH(int, pos);
    QFETCH(QString, word);
    QCOMPARE(EnText::wordAt(text, pos), word);
}

void SubtitleTextTest::clickEmitsTheWord() {
    EnText text;
    text.resize(600, 100);
    text.setPlainText(QStringLiteral("Hello, world!"));
    text.show();
    QVERIFY(QTest::qWaitForWindowExposed(&text));
    QSignalSpy query(&text, &EnText::QueryWord);
    QTextCursor inside(text.document());
    inside.setPosition(9);
    QTest::mouseClick(text.viewport(), Qt::LeftButton, {}, text.cursorRect(inside).center());
    QCOMPARE(query.count(), 1);
    QCOMPARE(query.first().first().toString(), QStringLiteral("world"));
}

void SubtitleTextTest::clickOnAnEmptyLineEmitsNothing() {
    EnText text;
    text.resize(300, 100);
    text.show();
    QSignalSpy query(&text, &EnText::QueryWord);
    QTest::mouseClick(text.viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(query.count(), 0);
}

void SubtitleTextTest::cardShowsTheRecord() {
    auto* card = new WordView;
    card->setWord({{"word", "hello"}, {"ukphonetic", "həˈləʊ"}, {"meaning", "int. 你好"}});
    QCOMPARE(card->findChild<QLabel*>("word")->text(), QStringLiteral("hello"));
    QCOMPARE(card->findChild<QLabel*>("labelEn")->text(), QStringLiteral("/həˈləʊ/"));
    QCOMPARE(card->findChild<QLabel*>("labelAm")->text(), QStringLiteral("//"));
    QCOMPARE(card->findChild<QTextEdit*>("overview")->toPlainText(), QStringLiteral("int. 你好"));
    QVERIFY(card->testAttribute(Qt::WA_DeleteOnClose));
    QPointer<WordView> alive(card);
    card->show();
    card->findChild<QPushButton*>("btnClose")->click();
    QTRY_VERIFY(alive.isNull());
}

void SubtitleTextTest::cardPronouncesFromTheDictionary() {
    const QString origin = ServiceSettings::dictOrigin();
    QCOMPARE(WordView::voiceUrl("hello", WordView::British).toString(),
             origin + QStringLiteral("/dictvoice?type=1&audio=hello"));
    QCOMPARE(WordView::voiceUrl("hello", WordView::American).toString(),
             origin + QStringLiteral("/dictvoice?type=0&audio=hello"));

    WordView card;
    card.setWord({{"word", "world"}});
    card.findChild<QPushButton*>("btnAudioAm")->click();
    QCOMPARE(card.player()->media().request().url(),
             WordView::voiceUrl("world", WordView::American));
}

QTEST_MAIN(SubtitleTextTest)
#include "SubtitleTextTest.moc"
