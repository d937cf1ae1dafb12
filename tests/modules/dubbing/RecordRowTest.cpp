// Sentence rows, the list and the preview row, without a microphone; the
// speech engine is the test double, answering when and how a case says.
#include "FakeEngine.h"
#include "RecordListWidget.h"
#include "ScoreBadge.h"
#include "ScoreSummary.h"
#include "UIUpdateThread.h"
#include "VideoRecordViewItem.h"
#include "VideoRecordViewItemPreview.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QtTest>

namespace {
QVariantMap sentence(const QString& start, const QString& stop) {
    return {{"start", start}, {"stop", stop}, {"en", "Hello, world!"}, {"cn", "你好"},
            {"index", 3},     {"total", 12},  {"bg", "bg.mp3"}};
}

template <typename T> T* child(QWidget& parent, const char* name) {
    return parent.findChild<T*>(QString::fromLatin1(name));
}

QString badge(VideoRecordViewItem& row) {
    const QString style = child<QWidget>(row, "score")->styleSheet();
    const int from = style.indexOf(":/images/");
    return from < 0 ? QString() : style.mid(from, style.indexOf(')', from) - from);
}

QString number(VideoRecordViewItem& row) {
    return child<QLabel>(row, "value")->text();
}

// A recording in a format the engine does not take: 44.1 kHz stereo.
bool makeRecording(const QString& path, int seconds = 1) {
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg",
                 {"-y", "-loglevel", "error", "-f", "lavfi", "-i",
                  QStringLiteral("sine=d=%1").arg(seconds), "-ac", "2", "-ar", "44100", path});
    return ffmpeg.waitForFinished(30000) && ffmpeg.exitCode() == 0;
}

// Scores the row's recording and returns the evaluation's number once the
// row has handed its audio over (or, without a recording, given up on it).
int scoreAndWait(VideoRecordViewItem& row) {
    row.scoreRecording();
    const int index = FakeEngine::evaluationCount() - 1;
    QDeadlineTimer deadline(30000);
    while (!FakeEngine::evaluation(index).stopped && !deadline.hasExpired())
        QTest::qWait(10);
    return index;
}
} // namespace

class RecordRowTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheSentence();
    void unreadableTimeCountsAsZero();
    void sentenceWithoutLengthCannotBeRecorded();
    void progressTicks();
    void progressWorkerStopsWhenAsked();
    void wheelMovesOneRow();
    void previewRowWithoutSentences();
    void scoringFeedsTheRowsOwnRecording();
    void resultArrivesQueuedFromTheEngineThread();
    void badgeBands_data();
    void badgeBands();
    void wordColours();
    void newestTakeWins();
    void engineErrorLeavesTheRowUsable();
    void averages();
};

void RecordRowTest::showsTheSentence() {
    VideoRecordViewItem row;
    row.setSentence(sentence("00:00:01,000", "00:00:03,500"));
    QCOMPARE(row.durationMs(), 2500);
    QCOMPARE(child<QLabel>(row, "duration")->text(), QStringLiteral("2.5s"));
    QCOMPARE(child<QLabel>(row, "index")->text(), QStringLiteral("4"));
    QCOMPARE(child<QLabel>(row, "total")->text(), QStringLiteral("/12"));
    QCOMPARE(child<QLabel>(row, "en")->text(), QStringLiteral("Hello, world!"));
    QCOMPARE(row.referenceText(), QStringLiteral("Hello, world!"));
    QCOMPARE(child<QProgressBar>(row, "progress")->maximum(), 2500);
    QCOMPARE(row.index(), QStringLiteral("3"));
    QVERIFY(row.recordWavPath().endsWith(QStringLiteral("/3record.wav")));
    QVERIFY(child<QPushButton>(row, "play")->isHidden());
    QVERIFY(child<QWidget>(row, "score")->isHidden());
    QVERIFY(child<QLabel>(row, "tips")->isHidden());
    QVERIFY(!row.isRecorded());
}

void RecordRowTest::unreadableTimeCountsAsZero() {
    VideoRecordViewItem row;
    row.setSentence(sentence("garbage", "00:00:02,000"));
    QCOMPARE(row.startMs(), -1);
    QCOMPARE(row.durationMs(), 2000);
    QCOMPARE(child<QLabel>(row, "duration")->text(), QStringLiteral("2s"));
}

void RecordRowTest::sentenceWithoutLengthCannotBeRecorded() {
    VideoRecordViewItem row;
    row.setSentence(sentence("00:00:05,000", "00:00:04,000"));
    QVERIFY(row.durationMs() < 0);
    QVERIFY(!child<QPushButton>(row, "record")->isEnabled());
    QVERIFY(!child<QLabel>(row, "tips")->isHidden());
    QVERIFY(!child<QLabel>(row, "tips")->text().isEmpty());
    QSignalSpy started(&row, &VideoRecordViewItem::StartRecord);
    row.onClickRecord();
    QVERIFY(!row.isRecording());
    QTest::qWait(50);
    QCOMPARE(started.count(), 0);

    row.setSentence(sentence("00:00:01,000", "00:00:02,000")); // a good one again
    QVERIFY(child<QPushButton>(row, "record")->isEnabled());
    QVERIFY(child<QLabel>(row, "tips")->isHidden());
}

void RecordRowTest::progressTicks() {
    UIUpdateThread worker(25, 60 / 25);
    QList<int> values;
    connect(&worker, &UIUpdateThread::updateProgress, this, [&](int v) { values << v; });
    worker.start();
    QTRY_VERIFY(worker.isFinished());
    QTRY_COMPARE(values, QList<int>({25, 50}));
}

void RecordRowTest::progressWorkerStopsWhenAsked() {
    auto* worker = new UIUpdateThread(25, 400); // ten seconds of ticks
    worker->start();
    QTest::qWait(60);
    QElapsedTimer clock;
    clock.start();
    delete worker; // interrupts and joins
    QVERIFY(clock.elapsed() < 1000);
}

void RecordRowTest::wheelMovesOneRow() {
    RecordListWidget list;
    list.addItems({"a", "b", "c"});
    list.setCurrentRow(0);
    const auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list.viewport(), &event);
    };
    wheel(-120);
    QCOMPARE(list.currentRow(), 1);
    wheel(-120);
    wheel(-120); // already the last
    QCOMPARE(list.currentRow(), 2);
    wheel(120);
    QCOMPARE(list.currentRow(), 1);
    wheel(120);
    wheel(120); // already the first
    QCOMPARE(list.currentRow(), 0);
}

void RecordRowTest::previewRowWithoutSentences() {
    VideoRecordViewItemPreview preview;
    auto* button = child<QPushButton>(preview, "btnPreview");
    QCOMPARE(button->text(), QStringLiteral("预览配音"));
    QSignalSpy clicked(&preview, &VideoRecordViewItemPreview::ClickPreview);
    button->click();
    QCOMPARE(clicked.count(), 1);
    preview.setSentenceCount(0);
    QVERIFY(!button->isEnabled());
    QVERIFY(button->text() != QStringLiteral("预览配音"));
    preview.setSentenceCount(4);
    QVERIFY(button->isEnabled());
}

void RecordRowTest::scoringFeedsTheRowsOwnRecording() {
    FakeEngine::reset();
    QVERIFY(makeRecording("3record.wav"));
    QVERIFY(makeRecording("4record.wav", 2));
    {
        VideoRecordViewItem row, other;
        row.setSentence(sentence("00:00:01,000", "00:00:02,000"));
        QVariantMap fourth = sentence("00:00:02,000", "00:00:03,000");
        fourth["index"] = 4;
        fourth["en"] = "Another one.";
        other.setSentence(fourth);
        QCOMPARE(FakeEngine::engineCount(), 2);
        const QJsonObject config =
            QJsonDocument::fromJson(FakeEngine::configurations().at(0)).object();
        QCOMPARE(config.keys(), QStringList({"appKey", "cloud", "secretKey"}));
        QCOMPARE(config.value("appKey").toString().size(), 4);
        const QJsonObject cloud = config.value("cloud").toObject();
        QCOMPARE(cloud.value("connectTimeout").toInt(), 30);
        QVERIFY(cloud.value("server").toString().startsWith("wss://"));

        // Both rows finish together: each feeds its own sentence's audio.
        row.scoreRecording();
        other.scoreRecording();
        QVERIFY(row.isScoring());
        QCOMPARE(child<QLabel>(row, "tips")->text(), QStringLiteral("评分中…"));
        QTRY_VERIFY_WITH_TIMEOUT(
            FakeEngine::evaluation(0).stopped && FakeEngine::evaluation(1).stopped, 30000);
        const FakeEngine::Evaluation mine = FakeEngine::evaluation(0);
        QCOMPARE(mine.calls, QList<QByteArray>({"start", "feed", "stop"}));
        const QByteArray server = QJsonDocument(cloud).toJson(QJsonDocument::Compact);
        QCOMPARE(mine.parameters,
                 QByteArray(R"({"app":"English LTV","audio":{"audioType":"wav","channel":1,)"
                            R"("compress":"raw","sampleBytes":2,"sampleRate":16000},"cloud":)") +
                     server +
                     R"(,"coreProvideType":"cloud","request":{"coreType":"en.sent.score",)"
                     R"("refText":"Hello, world!"}})");
        QFile converted("3test.wav");
        QVERIFY(converted.open(QIODevice::ReadOnly));
        QCOMPARE(mine.audio, converted.readAll()); // the whole file, header included
        QCOMPARE(qFromLittleEndian<quint16>(mine.audio.constData() + 22), quint16(1));
        QCOMPARE(qFromLittleEndian<quint32>(mine.audio.constData() + 24), quint32(16000));
        const FakeEngine::Evaluation others = FakeEngine::evaluation(1);
        QVERIFY(others.parameters.contains("Another one."));
        QFile otherConverted("4test.wav");
        QVERIFY(otherConverted.open(QIODevice::ReadOnly));
        QCOMPARE(others.audio, otherConverted.readAll());
        QVERIFY(others.audio.size() > mine.audio.size() * 3 / 2); // two seconds against one
    }
    QCOMPARE(FakeEngine::engineCount(), 0); // released with the rows
}

void RecordRowTest::resultArrivesQueuedFromTheEngineThread() {
    FakeEngine::reset();
    VideoRecordViewItem row;
    row.setSentence(sentence("00:00:01,000", "00:00:02,000"));
    row.setMember(true);
    QThread* emittedOn = nullptr;
    connect(
        &row, &VideoRecordViewItem::UpdateScore, this,
        [&] { emittedOn = QThread::currentThread(); }, Qt::DirectConnection);
    const int evaluation = scoreAndWait(row);
    FakeEngine::answer(evaluation, FakeEngine::result(88, {{"Hello", 90}}, 86, 100, 95));
    QVERIFY(emittedOn && emittedOn != QThread::currentThread());
    QVERIFY(child<QWidget>(row, "score")->isHidden()); // not yet: the badge changes on this thread
    QTRY_VERIFY(!child<QWidget>(row, "score")->isHidden());
    QCOMPARE(badge(row), QStringLiteral(":/images/superx1.png"));
    QCOMPARE(number(row), QStringLiteral("88"));
    QVERIFY(!row.isScoring());
    QVERIFY(child<QLabel>(row, "tips")->isHidden());
    const QVariantMap scores = row.scores();
    QCOMPARE(scores.value("overall").toInt(), 88);
    QCOMPARE(scores.value("accuracy").toInt(), 86);
    QCOMPARE(scores.value("integrity").toInt(), 100);
    QCOMPARE(scores.value("fluency").toInt(), 95);
}

void RecordRowTest::badgeBands_data() {
    QTest::addColumn<int>("overall");
    QTest::addColumn<bool>("member");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("shown");
    QTest::newRow("85") << 85 << true << "super"
                        << "85";
    QTest::newRow("84") << 84 << true << "excellent"
                        << "84";
    QTest::newRow("71") << 71 << true << "excellent"
                        << "71";
    QTest::newRow("70") << 70 << true << "great"
                        << "70";
    QTest::newRow("60") << 60 << true << "great"
                        << "60";
    QTest::newRow("59") << 59 << true << "zaijiezaili"
                        << "";
    QTest::newRow("non-member 95") << 95 << false << "feihuiyuan"
                                   << "";
    QTest::newRow("non-member 40") << 40 << false << "feihuiyuan"
                                   << "";
}

void RecordRowTest::badgeBands() {
    QFETCH(int, overall);
    QFETCH(bool, member);
    QFETCH(QString, image);
    QFETCH(QString, shown);
    FakeEngine::reset();
    VideoRecordViewItem row;
    row.setSentence(sentence("00:00:01,000", "00:00:02,000"));
    row.setMember(member);
    FakeEngine::answer(scoreAndWait(row), FakeEngine::result(overall));
    QTRY_VERIFY(!row.isScoring());
    QCOMPARE(badge(row), QStringLiteral(":/images/%1x1.png").arg(image));
    QCOMPARE(number(row), shown);
    QCOMPARE(!child<QLabel>(row, "tips")->isHidden(), !member);
    if (!member)
        QCOMPARE(child<QLabel>(row, "tips")->text(), QStringLiteral("成为会员，享无限次评分"));
    // The same bands pick the score page's larger badge.
    QCOMPARE(ScoreBadge::imageFor(overall, member, ScoreBadge::Page),
             QStringLiteral(":/images/%1x2.png").arg(image));
}

void RecordRowTest::wordColours() {
    FakeEngine::reset();
    const QList<QPair<QString, int>> words{
        {"Hello", 81}, {"big", 80}, {"<b>world</b>", 60}, {"again", 59}};
    for (const bool member : {true, false}) {
        VideoRecordViewItem row;
        row.setSentence(sentence("00:00:01,000", "00:00:02,000"));
        row.setMember(member);
        FakeEngine::answer(scoreAndWait(row), FakeEngine::result(70, words));
        auto* en = child<QLabel>(row, "en");
        QTRY_COMPARE(en->textFormat(), Qt::RichText);
        QCOMPARE(en->text(),
                 member ? QStringLiteral("<font color = green>Hello </font>"
                                         "<font color = black>big </font>"
                                         "<font color = black>&lt;b&gt;world&lt;/b&gt; </font>"
                                         "<font color = red>again </font>")
                        : QStringLiteral("<font color = red>Hello </font>"
                                         "<font color = red>big </font>"
                                         "<font color = red>&lt;b&gt;world&lt;/b&gt; </font>"
                                         "<font color = red>again </font>"));
    }
}

void RecordRowTest::newestTakeWins() {
    FakeEngine::reset();
    VideoRecordViewItem row;
    row.setSentence(sentence("00:00:01,000", "00:00:02,000"));
    row.setMember(true);
    FakeEngine::answer(scoreAndWait(row), FakeEngine::result(65, {{"first", 65}}));
    QTRY_COMPARE(number(row), QStringLiteral("65"));
    QCOMPARE(badge(row), QStringLiteral(":/images/greatx1.png"));

    // Two more takes; the older one's result comes last and is not shown.
    const int older = scoreAndWait(row);
    const int newer = scoreAndWait(row);
    FakeEngine::answer(newer, FakeEngine::result(90, {{"newest", 90}}));
    FakeEngine::answer(older, FakeEngine::result(40, {{"older", 40}}));
    QTRY_VERIFY(!row.isScoring());
    QTest::qWait(50);
    QCOMPARE(number(row), QStringLiteral("90"));
    QCOMPARE(badge(row), QStringLiteral(":/images/superx1.png"));
    QCOMPARE(row.scores().value("overall").toInt(), 90);
    QVERIFY(child<QLabel>(row, "en")->text().contains("newest"));

    // A result taken in just before a newer take started is not shown
    // either: the badge waits for the newer take.
    const int third = scoreAndWait(row);
    FakeEngine::answer(third, FakeEngine::result(30));
    row.scoreRecording();
    const int fourth = FakeEngine::evaluationCount() - 1;
    QTest::qWait(50);
    QVERIFY(row.isScoring());
    QCOMPARE(number(row), QStringLiteral("90"));
    FakeEngine::answer(fourth, FakeEngine::result(75));
    QTRY_COMPARE(number(row), QStringLiteral("75"));
}

void RecordRowTest::engineErrorLeavesTheRowUsable() {
    FakeEngine::reset();
    QFile::remove("3record.wav"); // nothing to convert: the engine gets no audio
    VideoRecordViewItem row;
    row.setSentence(sentence("00:00:01,000", "00:00:02,000"));
    row.setMember(true);
    const int evaluation = scoreAndWait(row);
    QCOMPARE(FakeEngine::evaluation(evaluation).calls, QList<QByteArray>({"start", "stop"}));
    FakeEngine::answer(evaluation,
                       R"({"errId":40010,"error":"no audio","result":{"overall":0,"accuracy":0,)"
                       R"("integrity":0,"fluency":{"overall":0},"details":[{"char":"Hello",)"
                       R"("score":0},{"char":"world","score":0}]}})");
    QTRY_VERIFY(!row.isScoring());
    QCOMPARE(badge(row), QStringLiteral(":/images/zaijiezailix1.png"));
    QCOMPARE(number(row), QString());
    QTRY_COMPARE(child<QLabel>(row, "en")->text(),
                 QStringLiteral("<font color = red>Hello </font><font color = red>world </font>"));
    QVERIFY(child<QPushButton>(row, "record")->isEnabled());

    // Not JSON at all: an empty record, no number, no words.
    FakeEngine::answer(scoreAndWait(row), "garbage");
    QTRY_COMPARE(child<QLabel>(row, "en")->text(), QString());
    QCOMPARE(badge(row), QStringLiteral(":/images/zaijiezailix1.png"));
    QCOMPARE(row.scores().value("overall").toInt(), 0);
    QVERIFY(!row.isScoring());
}

void RecordRowTest::averages() {
    const QVariantMap three = ScoreSummary::average(
        {{{"overall", 90}, {"accuracy", 91}, {"integrity", 100}, {"fluency", "88"}},
         {{"overall", 80}, {"accuracy", 80}, {"integrity", 100}, {"fluency", 70}},
         {{"overall", 71}, {"integrity", 99}, {"fluency", QVariant()}}});
    QCOMPARE(three.value("overall").toInt(), 80);  // 241 / 3
    QCOMPARE(three.value("accuracy").toInt(), 57); // a missing value counts 0
    QCOMPARE(three.value("integrity").toInt(), 99);
    QCOMPARE(three.value("fluency").toInt(), 52);
    const QVariantMap none = ScoreSummary::average({});
    for (const QString& key : ScoreSummary::keys())
        QCOMPARE(none.value(key).toInt(), 0);
}

QTEST_MAIN(RecordRowTest)
#include "RecordRowTest.moc"
