// Sentence rows, the list and the preview row, without a microphone; the
// speech engine is the test double, answering when and how a case says.
#include "EngineAudio.h"
#include "FakeEngine.h"
#include "RecordListWidget.h"
#include "ScoreBadge.h"
#include "ScoreSummary.h"
#include "SentenceTrack.h"
#include "TakeStore.h"
#include "UIUpdateThread.h"
#include "VideoRecordViewItem.h"
#include "VideoRecordViewItemPreview.h"

#include <QDir>
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

// The coloured sentence without the links that make its words clickable.
QString colours(VideoRecordViewItem& row) {
    static const QRegularExpression links(QStringLiteral("<a [^>]*>|</a>"));
    return child<QLabel>(row, "en")->text().remove(links);
}

// A recording in a format the engine does not take: 44.1 kHz stereo.
bool makeRecording(const QString& path, int seconds = 1, const QString& channels = "2",
                   const QString& rate = "44100") {
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg",
                 {"-y", "-loglevel", "error", "-f", "lavfi", "-i",
                  QStringLiteral("sine=d=%1").arg(seconds), "-ac", channels, "-ar", rate, path});
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
    void recordingInTheEnginesFormatIsFedAsItIs();
    void resultArrivesQueuedFromTheEngineThread();
    void badgeBands_data();
    void badgeBands();
    void wordColours();
    void newestTakeWins();
    void engineErrorLeavesTheRowUsable();
    void averages();
    void bestTakeIsChosenUntilTheLearnerPicks();
    void rowTakesUpTheChosenTake();
    void unscoredTakeIsScoredWhenTakenUp();
    void brokenTakeIndexIsReadBackFromTheRecordings();
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

// The recorder writes 16 kHz mono: such a take skips the conversion. Anything
// else, or a file the recorder left unfinished, is converted as before.
void RecordRowTest::recordingInTheEnginesFormatIsFedAsItIs() {
    FakeEngine::reset();
    QVERIFY(makeRecording("5record.wav", 1, "1", "16000"));
    QFile::remove("5test.wav");
    QFile file("5record.wav");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray take = file.readAll();
    QVERIFY(EngineAudio::isReady(take));
    {
        VideoRecordViewItem row;
        QVariantMap fifth = sentence("00:00:01,000", "00:00:02,000");
        fifth["index"] = 5;
        row.setSentence(fifth);
        const int index = scoreAndWait(row);
        QCOMPARE(FakeEngine::evaluation(index).calls, QList<QByteArray>({"start", "feed", "stop"}));
        QCOMPARE(FakeEngine::evaluation(index).audio, take);
        QVERIFY(!QFile::exists("5test.wav"));
    }
    QByteArray unfinished = take;
    qToLittleEndian<quint32>(take.size(), unfinished.data() + take.indexOf("data") + 4);
    QVERIFY(!EngineAudio::isReady(unfinished));
    QVERIFY(!EngineAudio::isReady(take.left(40)));
    QByteArray stereo = take;
    qToLittleEndian<quint16>(2, stereo.data() + take.indexOf("fmt ") + 10);
    QVERIFY(!EngineAudio::isReady(stereo));
    QVERIFY(makeRecording("6record.wav"));
    QVERIFY(EngineAudio::readIfReady("6record.wav").isEmpty()); // 44.1 kHz stereo
    QVERIFY(EngineAudio::readIfReady("missing.wav").isEmpty());
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
    // The sentence's track waits for the score, which the learner waits for.
    emit row.StartMix();
    QTest::qWait(50);
    QCOMPARE(row.track()->state(), SentenceTrack::State::Queued);
    FakeEngine::answer(evaluation, FakeEngine::result(88, {{"Hello", 90}}, 86, 100, 95));
    QVERIFY(emittedOn && emittedOn != QThread::currentThread());
    QVERIFY(child<QWidget>(row, "score")->isHidden()); // not yet: the badge changes on this thread
    QTRY_VERIFY(!child<QWidget>(row, "score")->isHidden());
    QVERIFY(row.track()->state() != SentenceTrack::State::Queued);
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
        QCOMPARE(colours(row),
                 member ? QStringLiteral("<font color = green>Hello </font>"
                                         "<font color = black>big </font>"
                                         "<font color = black>&lt;b&gt;world&lt;/b&gt; </font>"
                                         "<font color = red>again </font>")
                        : QStringLiteral("<font color = red>Hello </font>"
                                         "<font color = red>big </font>"
                                         "<font color = red>&lt;b&gt;world&lt;/b&gt; </font>"
                                         "<font color = red>again </font>"));
        // Every coloured word can be looked up, without its punctuation.
        QSignalSpy lookup(&row, &VideoRecordViewItem::QueryWord);
        emit en->linkActivated(QStringLiteral("word:3"));
        emit en->linkActivated(QStringLiteral("word:9")); // no such word
        emit en->linkActivated(QStringLiteral("http://elsewhere"));
        QCOMPARE(lookup.count(), 1);
        QCOMPARE(lookup.at(0).at(0).toString(), QStringLiteral("again"));
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
    QTRY_COMPARE(colours(row),
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

namespace {
QVariantMap overall(int score) {
    return {{"overall", score}, {"accuracy", score}, {"integrity", 100}, {"fluency", score}};
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

void RecordRowTest::bestTakeIsChosenUntilTheLearnerPicks() {
    QDir("takes").removeRecursively();
    QVERIFY(makeRecording("a.wav", 1));
    TakeStore store("best");
    QCOMPARE(store.chosen(3), 0);
    QCOMPARE(store.add(3, "a.wav"), 1);
    QCOMPARE(store.chosen(3), 1); // unscored, but the only one
    QCOMPARE(store.add(3, "a.wav"), 2);
    QCOMPARE(store.chosen(3), 2); // none scored: the newest
    store.setScore(3, 1, overall(80), {});
    QCOMPARE(store.chosen(3), 1); // a scored take beats an unscored one
    store.setScore(3, 2, overall(80), {});
    QCOMPARE(store.chosen(3), 2); // a tie goes to the newer take
    QVERIFY(store.choose(3, 1));
    QVERIFY(store.isPinned(3));
    QCOMPARE(store.add(3, "a.wav"), 3);
    store.setScore(3, 3, overall(60), {});
    // Recording again hands the choice back to the best take.
    QVERIFY(!store.isPinned(3));
    QCOMPARE(store.chosen(3), 2);
    QVERIFY(!store.choose(3, 9));
    QVERIFY(!store.choose(4, 1));
    QCOMPARE(store.takes(3).size(), 3);
    QVERIFY(QFile::exists(store.audioPath(3, 3)));

    // What is kept is read back by another store, as after a restart.
    QVERIFY(store.choose(3, 3));
    TakeStore again("best");
    QCOMPARE(again.takes(3).size(), 3);
    QCOMPARE(again.chosen(3), 3);
    QVERIFY(again.isPinned(3));
    QCOMPARE(again.take(3, 2).scores.value("overall").toInt(), 80);
    // A recording deleted behind the client's back drops its take.
    QFile::remove(again.audioPath(3, 3));
    TakeStore third("best");
    QCOMPARE(third.takes(3).size(), 2);
    QCOMPARE(third.chosen(3), 2);

    QVERIFY(third.clear());
    QVERIFY(!QDir(third.folder()).exists());
    QCOMPARE(TakeStore("best").takes(3).size(), 0);
    // Names that are not plain stay inside the takes folder.
    QVERIFY(TakeStore::folderFor("../x").startsWith(QDir::currentPath() + "/takes/"));
    QVERIFY(!TakeStore::folderFor("../x").contains(".."));
}

void RecordRowTest::rowTakesUpTheChosenTake() {
    FakeEngine::reset();
    QDir("takes").removeRecursively();
    QFile::remove("3record.wav");
    QVERIFY(makeRecording("one.wav", 1));
    QVERIFY(makeRecording("two.wav", 2));
    TakeStore store("row");
    store.add(3, "one.wav");
    store.setScore(3, 1, overall(90), {QVariantMap{{"char", "first"}, {"score", 90}}});
    store.add(3, "two.wav");
    store.setScore(3, 2, overall(65), {QVariantMap{{"char", "second"}, {"score", 65}}});

    VideoRecordViewItem row;
    row.setSentence(sentence("00:00:01,000", "00:00:02,000"));
    row.setMember(true);
    QSignalSpy mixes(&row, &VideoRecordViewItem::StartMix);
    row.setTakeStore(&store);
    // The best take is the recording again, with its score, and no
    // sentence track is made before the preview asks for one.
    QVERIFY(row.isRecorded());
    QCOMPARE(bytesOf("3record.wav"), bytesOf("one.wav"));
    QCOMPARE(number(row), QStringLiteral("90"));
    QCOMPARE(row.scores().value("overall").toInt(), 90);
    QVERIFY(colours(row).contains("first"));
    QVERIFY(!child<QPushButton>(row, "play")->isHidden());
    QCOMPARE(child<QPushButton>(row, "btnTakes")->text(), QStringLiteral("录音记录 2"));
    QCOMPARE(mixes.count(), 0);
    QCOMPARE(FakeEngine::evaluationCount(), 0);

    QVERIFY(row.chooseTake(2));
    QCOMPARE(bytesOf("3record.wav"), bytesOf("two.wav"));
    QCOMPARE(number(row), QStringLiteral("65"));
    QCOMPARE(row.scores().value("overall").toInt(), 65);
    QVERIFY(colours(row).contains("second"));
    QCOMPARE(mixes.count(), 1);
    QVERIFY(store.isPinned(3));
    QVERIFY(row.chooseTake(2)); // already chosen: nothing to do
    QCOMPARE(mixes.count(), 1);
    QVERIFY(!row.chooseTake(7));
    QCOMPARE(store.chosen(3), 2);
}

void RecordRowTest::unscoredTakeIsScoredWhenTakenUp() {
    FakeEngine::reset();
    QDir("takes").removeRecursively();
    QVERIFY(makeRecording("one.wav", 1));
    TakeStore store("unscored");
    store.add(3, "one.wav"); // the client closed before its result came
    VideoRecordViewItem row;
    row.setSentence(sentence("00:00:01,000", "00:00:02,000"));
    row.setMember(true);
    row.setTakeStore(&store);
    QVERIFY(row.isRecorded());
    QVERIFY(row.isScoring());
    QVERIFY(!row.chooseTake(1)); // busy while it is scored
    QTRY_VERIFY(FakeEngine::evaluationCount() == 1 && FakeEngine::evaluation(0).stopped);
    FakeEngine::answer(0, FakeEngine::result(77, {{"kept", 77}}));
    QTRY_COMPARE(number(row), QStringLiteral("77"));
    QVERIFY(store.take(3, 1).scored);
    QCOMPARE(store.take(3, 1).scores.value("overall").toInt(), 77);
    QCOMPARE(store.take(3, 1).words.size(), 1);
}

void RecordRowTest::brokenTakeIndexIsReadBackFromTheRecordings() {
    QDir("takes").removeRecursively();
    QVERIFY(makeRecording("one.wav", 1));
    const QString folder = TakeStore::folderFor("broken");
    {
        TakeStore store("broken");
        store.add(0, "one.wav");
        store.add(0, "one.wav");
        store.add(5, "one.wav");
        store.setScore(0, 1, overall(99), {});
    }
    QFile index(folder + "/takes.json");
    QVERIFY(index.open(QIODevice::WriteOnly | QIODevice::Truncate));
    index.write("{\"sentences\": {\"0\": [tru");
    index.close();
    QFile(folder + "/stray.wav").open(QIODevice::WriteOnly); // not a take's name

    TakeStore store("broken");
    QCOMPARE(store.takes(0).size(), 2);
    QCOMPARE(store.takes(5).size(), 1);
    QCOMPARE(store.chosen(0), 2); // scores are lost: the newest
    QVERIFY(!store.take(0, 1).scored);
    QVERIFY(QFile::exists(folder + "/takes.json.broken"));
    // The index written anew is whole again.
    TakeStore again("broken");
    QCOMPARE(again.takes(0).size(), 2);
    QCOMPARE(again.chosen(0), 2);
}

QTEST_MAIN(RecordRowTest)
#include "RecordRowTest.moc"
