// The clip page around a real recording (private PulseAudio, null sink):
// a running take mutes the clip, and leaving dubbing or closing the page in
// the middle of a take or of a preview leaves nothing half-done behind.
#include "CachedFile.h"
#include "PYProgress.h"
#include "PlayerView.h"
#include "VideoRecordViewItem.h"
#include "VideoView.h"

#include <QAudioRecorder>
#include <QFile>
#include <QMediaPlayer>
#include <QProcess>
#include <QtTest>
#include <memory>

class VideoPageRecordingTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_view.reset(); }
    void takeMutesTheClipAndStopUnmutesIt();
    void leavingDubbingDuringATake();
    void closingThePageDuringATake();
    void closingThePageDuringAPreview();

private:
    VideoRecordViewItem* startTake();

    std::unique_ptr<VideoView> m_view;
};

void VideoPageRecordingTest::init() {
    const QString url = QStringLiteral("http://127.0.0.1:1/media/take.srt");
    QDir().mkpath(CachedFile::folder());
    QFile srt(CachedFile::localPath(url));
    QVERIFY(srt.open(QIODevice::WriteOnly));
    srt.write("1\n00:00:01,000 --> 00:00:05,000\nA long first sentence\n第一句\n\n"
              "2\n00:00:06,000 --> 00:00:07,000\nSecond\n第二句\n\n");
    srt.close();
    m_view = std::make_unique<VideoView>();
    m_view->onSrtChanged(url);
    m_view->onIsRecordingChanged(true);
    QFile::remove("0record.wav");
}

VideoRecordViewItem* VideoPageRecordingTest::startTake() {
    VideoRecordViewItem* row = m_view->recordRows().value(0);
    if (!row)
        return nullptr;
    row->onClickRecord();
    // Wait until audio flows, so that the file exists on disk.
    auto* recorder = row->findChild<QAudioRecorder*>();
    QDeadlineTimer deadline(20000); // the first samples take 1-2 s, more under load
    while (recorder->duration() <= 200 && !deadline.hasExpired())
        QTest::qWait(50);
    return recorder->duration() > 200 ? row : nullptr;
}

void VideoPageRecordingTest::takeMutesTheClipAndStopUnmutesIt() {
    QMediaPlayer* video = m_view->player()->videoPlayer();
    VideoRecordViewItem* row = startTake();
    QVERIFY(row);
    QVERIFY(video->isMuted());
    row->onClickRecord(); // stop by hand
    QVERIFY(!video->isMuted());
    QCOMPARE(m_view->player()->playState(), 1);
}

void VideoPageRecordingTest::leavingDubbingDuringATake() {
    QPointer<VideoRecordViewItem> row = startTake();
    QVERIFY(row);
    m_view->onIsRecordingChanged(false);
    QVERIFY(!row);
    QVERIFY(!QFile::exists("0record.wav"));
    QVERIFY(!QFile::exists("0record.take.wav"));
    QVERIFY(!m_view->player()->videoPlayer()->isMuted());
    // Dubbing again starts from clean rows.
    m_view->onIsRecordingChanged(true);
    QCOMPARE(m_view->recordRows().size(), 2);
    QVERIFY(!m_view->recordRows().first()->isRecorded());
}

void VideoPageRecordingTest::closingThePageDuringATake() {
    QPointer<VideoRecordViewItem> row = startTake();
    QVERIFY(row);
    m_view.reset();
    QVERIFY(!row);
    QVERIFY(!QFile::exists("0record.wav"));
    QVERIFY(!QFile::exists("0record.take.wav"));
    // Nothing left behind fires into the freed page.
    QTest::qWait(300);
}

void VideoPageRecordingTest::closingThePageDuringAPreview() {
    // A long background keeps the mix busy for a while.
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "anoisesrc=d=300", "-ac", "1",
                            CachedFile::localPath("http://127.0.0.1:1/media/take-bg.mp3")});
    QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    m_view->onVideoDetailChanged(QVariantMap{{"audio", "http://127.0.0.1:1/media/take-bg.mp3"}});
    for (VideoRecordViewItem* row : m_view->recordRows()) {
        row->onClickRecord();
        QTRY_VERIFY_WITH_TIMEOUT(row->isRecorded() && !row->isRecording(), 30000);
    }
    m_view->onClickPreview();
    QPointer<PYProgress> progress = m_view->progressWindow();
    QVERIFY(progress && progress->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!progress || progress->title().startsWith("正在合成配音"), 60000);
    m_view.reset();
    QVERIFY(!progress);
    QVERIFY(QDir::current().entryList({"*.part"}).isEmpty());
    QTest::qWait(300); // nothing left behind reports into the freed page
}

QTEST_MAIN(VideoPageRecordingTest)
#include "VideoPageRecordingTest.moc"
