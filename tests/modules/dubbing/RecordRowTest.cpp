// Sentence rows, the list and the preview row, without a microphone.
#include "RecordListWidget.h"
#include "UIUpdateThread.h"
#include "VideoRecordViewItem.h"
#include "VideoRecordViewItemPreview.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {
QVariantMap sentence(const QString& start, const QString& stop) {
    return {{"start", start}, {"stop", stop}, {"en", "Hello, world!"}, {"cn", "你好"},
            {"index", 3},     {"total", 12},  {"bg", "bg.mp3"}};
}

template <typename T> T* child(QWidget& parent, const char* name) {
    return parent.findChild<T*>(QString::fromLatin1(name));
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

QTEST_MAIN(RecordRowTest)
#include "RecordRowTest.moc"
