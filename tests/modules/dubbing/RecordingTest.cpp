// Records sentences for real: a private PulseAudio whose default source is
// the monitor of a null sink, and espeak-ng speech played into that sink.
// The recordings are scored by the real speech engine.
#include "SentenceTime.h"
#include "VideoRecordViewItem.h"
#include "WavProbe.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTime>
#include <QtTest>

namespace {
const char* kSentence = "I have never seen anything like this before";
const char* kOtherSentence = "Where is the train station";

QString timeText(int ms) {
    return QTime(0, 0).addMSecs(ms).toString(SentenceTime::format());
}

bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

// espeak-ng reading `text` into a 16 kHz mono file.
bool speak(const QString& text, const QString& path) {
    const QString raw = path + QStringLiteral(".raw.wav");
    return run(QStringLiteral("espeak-ng"), {"-v", "en-us", "-s", "150", "-w", raw, text}) &&
           run(QStringLiteral("sox"), {"-R", raw, "-r", "16000", "-c", "1", "-b", "16", path});
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int overall(const VideoRecordViewItem& row) {
    return row.scores().value(QStringLiteral("overall")).toInt();
}
} // namespace

class RecordingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recordsTheWholeSentence();
    void stopByHandThenRecordAgain();
    void destroyedWhileRecording();
    void takeIsScoredAgainstItsSentence();
    void interruptedRetakeKeepsThePreviousTake();
    void rowsScoredTogetherGetTheirOwnResults();

private:
    QVariantMap sentence(int index) const;
    void startSpeechOnCapture(VideoRecordViewItem& row, const QString* speech = nullptr);
    bool recordWhole(VideoRecordViewItem& row, const QString& speech);

    QString m_speech;
    QString m_otherSpeech;
    WavProbe m_source;
    int m_lengthMs = 0;
    QProcess m_player;
};

void RecordingTest::initTestCase() {
    m_speech = QDir::current().filePath(QStringLiteral("speech.wav"));
    m_otherSpeech = QDir::current().filePath(QStringLiteral("other.wav"));
    QVERIFY(speak(QString::fromLatin1(kSentence), m_speech));
    QVERIFY(speak(QString::fromLatin1(kOtherSentence), m_otherSpeech));
    m_source = WavProbe::read(m_speech);
    QVERIFY(m_source.ok);
    // The sentence lasts a little longer than the speech, as subtitles do.
    m_lengthMs = int(m_source.seconds() * 1000) + 600;
}

QVariantMap RecordingTest::sentence(int index) const {
    return {{"start", timeText(1000)},
            {"stop", timeText(1000 + m_lengthMs)},
            {"en", QString::fromLatin1(kSentence)},
            {"cn", QStringLiteral("我从没见过这样的事")},
            {"index", index},
            {"total", 3},
            {"bg", QStringLiteral("bg.mp3")}};
}

void RecordingTest::startSpeechOnCapture(VideoRecordViewItem& row, const QString* speech) {
    const QString file = speech ? *speech : m_speech;
    connect(&row, &VideoRecordViewItem::StartRecord, this,
            [this, file] { m_player.start(QStringLiteral("paplay"), {file}); });
}

// One whole take with `speech` played into the microphone, until its score is in.
bool RecordingTest::recordWhole(VideoRecordViewItem& row, const QString& speech) {
    QSignalSpy mixes(&row, &VideoRecordViewItem::StartMix);
    QMetaObject::Connection speaker = connect(&row, &VideoRecordViewItem::StartRecord, this, [&] {
        m_player.start(QStringLiteral("paplay"), {speech});
    });
    row.onClickRecord();
    const bool done = mixes.wait(20000) || mixes.count() > 0;
    disconnect(speaker);
    m_player.waitForFinished(10000);
    QDeadlineTimer deadline(30000);
    while (row.isScoring() && !deadline.hasExpired())
        QTest::qWait(20);
    return done && !row.isScoring();
}

void RecordingTest::recordsTheWholeSentence() {
    VideoRecordViewItem row;
    row.setSentence(sentence(0));
    startSpeechOnCapture(row);
    QStringList order;
    for (auto [signal, name] : {std::pair{&VideoRecordViewItem::StartRecord, "StartRecord"},
                                std::pair{&VideoRecordViewItem::StopRecord, "StopRecord"},
                                std::pair{&VideoRecordViewItem::StartPlay, "StartPlay"},
                                std::pair{&VideoRecordViewItem::StartMix, "StartMix"}})
        connect(&row, signal, this, [&order, name = QString::fromLatin1(name)] { order << name; });

    row.onClickRecord();
    QVERIFY(row.isRecording());
    QTRY_VERIFY_WITH_TIMEOUT(row.isRecorded(), 20000);
    m_player.waitForFinished(10000);

    QCOMPARE(order.mid(0, 4), QStringList({"StartRecord", "StopRecord", "StartPlay", "StartMix"}));
    QVERIFY(!row.isRecording());
    QVERIFY(!row.findChild<QPushButton*>("play")->isHidden());
    auto* progress = row.findChild<QProgressBar*>("progress");
    QCOMPARE(progress->value(), progress->maximum());

    const WavProbe wav = WavProbe::read(QDir::current().filePath("0record.wav"));
    QVERIFY(wav.ok);
    QCOMPARE(wav.sampleRate, 16000);
    QCOMPARE(wav.channels, 1);
    QCOMPARE(wav.bitsPerSample, 16);
    qInfo() << "sentence" << m_lengthMs << "ms, recorded" << wav.seconds() * 1000 << "ms";
    QVERIFY(qAbs(wav.seconds() * 1000 - m_lengthMs) <= m_lengthMs * 0.05);
    QVERIFY2(wav.rms() > 300, qPrintable(QString::number(wav.rms())));
    // The whole speech is in the file, first word to last: it starts soon
    // after the recording does and spans what the source spans.
    const double sourceOnset = m_source.onsetSeconds(300);
    const double recordedOnset = wav.onsetSeconds(300);
    const double sourceSpan = m_source.offsetSeconds(300) - sourceOnset;
    const double recordedSpan = wav.offsetSeconds(300) - recordedOnset;
    qInfo() << "speech onset: source" << sourceOnset << "s, recording" << recordedOnset
            << "s; speech span: source" << sourceSpan << "s, recording" << recordedSpan << "s";
    QVERIFY(recordedOnset >= 0 && recordedOnset - sourceOnset < 0.5);
    QVERIFY(qAbs(recordedSpan - sourceSpan) < 0.1);
    // The row plays its new recording back and is destroyed while doing so.
    QVERIFY(row.findChild<QPushButton*>("play")->isChecked());
}

void RecordingTest::stopByHandThenRecordAgain() {
    VideoRecordViewItem row;
    row.setSentence(sentence(1));
    startSpeechOnCapture(row);
    QSignalSpy started(&row, &VideoRecordViewItem::StartRecord);
    QSignalSpy stopped(&row, &VideoRecordViewItem::StopRecord);

    row.onClickRecord();
    QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 10000);
    QTest::qWait(500);
    row.onClickRecord(); // stops at once
    QCOMPARE(stopped.count(), 1);
    QVERIFY(!row.isRecording());
    QVERIFY(!row.findChild<QPushButton*>("play")->isHidden());
    // The take still completes when the sentence's length has passed.
    QVERIFY(!row.isRecorded());
    QTRY_VERIFY_WITH_TIMEOUT(row.isRecorded(), m_lengthMs + 2000);
    m_player.waitForFinished(10000);
    const double shortTake = WavProbe::read(QDir::current().filePath("1record.wav")).seconds();
    QVERIFY(shortTake > 0.3 && shortTake < m_lengthMs / 1000.0 * 0.5);

    // Recording again overwrites the short take with a whole one.
    QSignalSpy mixes(&row, &VideoRecordViewItem::StartMix);
    row.onClickRecord();
    QTRY_COMPARE_WITH_TIMEOUT(mixes.count(), 1, 20000);
    m_player.waitForFinished(10000);
    const WavProbe again = WavProbe::read(QDir::current().filePath("1record.wav"));
    QVERIFY(qAbs(again.seconds() * 1000 - m_lengthMs) <= m_lengthMs * 0.05);
    QVERIFY(again.rms() > 300);
}

void RecordingTest::destroyedWhileRecording() {
    const QString wav = QDir::current().filePath("2record.wav");
    {
        // Before the first sample arrived.
        VideoRecordViewItem row;
        row.setSentence(sentence(2));
        row.onClickRecord();
        QTest::qWait(100);
    }
    QVERIFY(!QFileInfo::exists(wav));
    {
        auto* row = new VideoRecordViewItem;
        row->setSentence(sentence(2));
        QSignalSpy started(row, &VideoRecordViewItem::StartRecord);
        row->onClickRecord();
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 10000);
        QTest::qWait(300);
        delete row;
    }
    QVERIFY(!QFileInfo::exists(wav));
    {
        // Stopped by hand, its sentence length still pending.
        VideoRecordViewItem row;
        row.setSentence(sentence(2));
        QSignalSpy stopped(&row, &VideoRecordViewItem::StopRecord);
        startSpeechOnCapture(row);
        row.onClickRecord();
        QTRY_VERIFY_WITH_TIMEOUT(row.isRecording() && m_player.state() != QProcess::NotRunning,
                                 10000);
        QTest::qWait(300);
        row.onClickRecord();
        QCOMPARE(stopped.count(), 1);
    }
    QVERIFY(!QFileInfo::exists(wav));
    m_player.waitForFinished(10000);
    QTest::qWait(m_lengthMs); // nothing left to fire into the deleted rows
}

void RecordingTest::takeIsScoredAgainstItsSentence() {
    VideoRecordViewItem row;
    row.setSentence(sentence(3));
    row.setMember(true);
    QVERIFY(recordWhole(row, m_speech));
    qInfo() << "own sentence scored" << row.scores();
    QVERIFY2(overall(row) >= 60, qPrintable(QString::number(overall(row))));
    QCOMPARE(row.findChild<QLabel*>("value")->text(), QString::number(overall(row)));
    QVERIFY(row.findChild<QLabel*>("en")->text().contains("<font color = green>never </font>"));
    const QString artifacts =
        qEnvironmentVariable("LINTAVO_BIN_DIR") + "/../test-artifacts/dubbing";
    QDir().mkpath(artifacts);
    row.grab().save(artifacts + "/scored-row.png");

    QVERIFY(recordWhole(row, m_otherSpeech));
    qInfo() << "another sentence scored" << row.scores();
    QVERIFY2(overall(row) < 60, qPrintable(QString::number(overall(row))));
    QVERIFY(row.findChild<QLabel*>("value")->text().isEmpty());
}

void RecordingTest::interruptedRetakeKeepsThePreviousTake() {
    const QString wav = QDir::current().filePath("4record.wav");
    QByteArray previous;
    {
        VideoRecordViewItem row;
        row.setSentence(sentence(4));
        QVERIFY(recordWhole(row, m_speech));
        previous = contents(wav);
        QVERIFY(previous.size() > 16000);
        auto* play = row.findChild<QPushButton*>("play");

        // Cancelled before the first sample arrived.
        row.onClickRecord();
        QVERIFY(row.isRecording());
        row.onClickRecord();
        QVERIFY(!row.isRecording());
        QVERIFY(row.isRecorded());
        QVERIFY(!play->isHidden());
        QCOMPARE(contents(wav), previous);

        // A retake in full flow writes elsewhere until it completes.
        QSignalSpy started(&row, &VideoRecordViewItem::StartRecord);
        startSpeechOnCapture(row, &m_otherSpeech);
        row.onClickRecord();
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 10000);
        QTest::qWait(500);
        QCOMPARE(contents(wav), previous);
        QVERIFY(QFileInfo::exists(row.takeWavPath()));
        // ... and the row goes mid-take.
    }
    m_player.waitForFinished(10000);
    QCOMPARE(contents(wav), previous);
    QVERIFY(!QFileInfo::exists(QDir::current().filePath("4record.take.wav")));
}

void RecordingTest::rowsScoredTogetherGetTheirOwnResults() {
    // Two sentences' recordings finishing at the same moment.
    QVERIFY(QFile::copy(m_speech, QDir::current().filePath("6record.wav")));
    QVERIFY(QFile::copy(m_otherSpeech, QDir::current().filePath("7record.wav")));
    VideoRecordViewItem first, second;
    first.setSentence(sentence(6));
    QVariantMap other = sentence(7);
    other["en"] = QString::fromLatin1(kOtherSentence) + "?";
    second.setSentence(other);
    first.scoreRecording();
    second.scoreRecording();
    QTRY_VERIFY_WITH_TIMEOUT(!first.isScoring() && !second.isScoring(), 30000);
    qInfo() << "scored together:" << first.scores() << second.scores();
    QVERIFY(overall(first) >= 60);
    QVERIFY(overall(second) >= 60);
}

QTEST_MAIN(RecordingTest)
#include "RecordingTest.moc"
