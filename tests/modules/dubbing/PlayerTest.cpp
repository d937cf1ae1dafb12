// The player against a real H.264/AAC clip made with ffmpeg, plus its
// position arithmetic.
#include "LoopWatch.h"
#include "PlayerPositionSlider.h"
#include "PlayerView.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibrary>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <dlfcn.h>

namespace {
QVariantMap sentence(const char* start, const char* stop, const char* en) {
    return {{"start", start}, {"stop", stop}, {"en", en}, {"cn", QStringLiteral("中文")}};
}

const QVariantList kSentences = {sentence("00:00:01,000", "00:00:02,500", "First"),
                                 sentence("00:00:04,000", "00:00:05,000", "Second"),
                                 sentence("00:00:06,000", "00:00:07,000", "Third")};
} // namespace

class PlayerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sliderPressArithmetic();
    void libsoupIsNeverLoadedTwice();
    void kmsSinkIsLeftOutOfTheSinkChoice();
    void textShowsStrictlyInsideASentence();
    void embeddedPlaysAClip();
    void playSentenceLoopsInsideTheSentence();
    void playSentenceOutsideTheListDoesNothing();
    void playSentenceAfterTheEndPlays();
    void fullWindowShowsSubtitlesAndSteps();
    void spaceKeyFollowsThePlayState();

private:
    QString m_clip;
};

void PlayerTest::initTestCase() {
    m_clip = QDir::current().filePath(QStringLiteral("clip.mp4"));
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-y",
                                            "-loglevel",
                                            "error",
                                            "-f",
                                            "lavfi",
                                            "-i",
                                            "testsrc=size=320x180:rate=25",
                                            "-f",
                                            "lavfi",
                                            "-i",
                                            "sine=frequency=440",
                                            "-t",
                                            "9",
                                            "-c:v",
                                            "libx264",
                                            "-pix_fmt",
                                            "yuv420p",
                                            "-c:a",
                                            "aac",
                                            "-shortest",
                                            m_clip});
    QVERIFY(ffmpeg.waitForFinished(60000));
    QCOMPARE(ffmpeg.exitCode(), 0);
}

void PlayerTest::sliderPressArithmetic() {
    QCOMPARE(PlayerPositionSlider::valueAt(125, 100, 250), 50);
    QCOMPARE(PlayerPositionSlider::valueAt(10, 249, 250), 9); // truncated, not rounded
    QCOMPARE(PlayerPositionSlider::valueAt(10, 5, 0), 0);

    PlayerPositionSlider slider;
    slider.setMaximum(125);
    slider.resize(250, 16);
    QSignalSpy pressed(&slider, &PlayerPositionSlider::MousePress);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(100, 8));
    QCOMPARE(slider.value(), 50);
    QCOMPARE(pressed.count(), 1);
}

// The players prefer libsoup 2.4, but either libsoup aborts the process on
// finding the other: where something loaded libsoup 3 before the first player,
// libsoup 3 stays the only one. Runs before any other player of this process.
void PlayerTest::libsoupIsNeverLoadedTwice() {
    if (!dlopen("libsoup-3.0.so.0", RTLD_NOW | RTLD_GLOBAL))
        QSKIP("libsoup 3 is not installed");
    PlayerView player(false);
    QVERIFY(!dlopen("libsoup-2.4.so.1", RTLD_NOW | RTLD_NOLOAD));
}

// Probing the KMS sink blocked every new player for seconds on machines
// without a GPU device; a player keeps it out of GStreamer's choice.
void PlayerTest::kmsSinkIsLeftOutOfTheSinkChoice() {
    PlayerView player(false); // its players start GStreamer
    QLibrary gst(QStringLiteral("gstreamer-1.0"), 0);
    QVERIFY2(gst.load(), qPrintable(gst.errorString()));
    using Registry = void* (*)();
    using Lookup = void* (*)(void*, const char*);
    using Rank = unsigned (*)(void*);
    using Unref = void (*)(void*);
    const auto registry = reinterpret_cast<Registry>(gst.resolve("gst_registry_get"));
    const auto lookup = reinterpret_cast<Lookup>(gst.resolve("gst_registry_lookup_feature"));
    const auto rank = reinterpret_cast<Rank>(gst.resolve("gst_plugin_feature_get_rank"));
    const auto unref = reinterpret_cast<Unref>(gst.resolve("gst_object_unref"));
    QVERIFY(registry && lookup && rank && unref);
    void* kms = lookup(registry(), "kmssink");
    if (!kms)
        QSKIP("this GStreamer has no KMS sink");
    const unsigned kmsRank = rank(kms);
    unref(kms);
    QCOMPARE(kmsRank, 0u);
}

void PlayerTest::textShowsStrictlyInsideASentence() {
    QCOMPARE(PlayerView::textIndexAt(kSentences, 500), int(PlayerView::KeepText));
    QCOMPARE(PlayerView::textIndexAt(kSentences, 1000), int(PlayerView::KeepText));
    QCOMPARE(PlayerView::textIndexAt(kSentences, 1001), 0);
    QCOMPARE(PlayerView::textIndexAt(kSentences, 2499), 0);
    QCOMPARE(PlayerView::textIndexAt(kSentences, 2500), int(PlayerView::KeepText));
    QCOMPARE(PlayerView::textIndexAt(kSentences, 3000), int(PlayerView::ClearText));
    QCOMPARE(PlayerView::textIndexAt(kSentences, 4500), 1);
    QCOMPARE(PlayerView::textIndexAt({}, 4500), int(PlayerView::KeepText));
}

void PlayerTest::embeddedPlaysAClip() {
    QWidget page;
    page.resize(640, 360);
    PlayerView player(false, &page);
    player.resize(page.size());
    page.show();
    QVERIFY(!player.findChild<QPlainTextEdit*>("en"));
    QVERIFY(!player.findChild<QWidget*>("title"));
    QVERIFY(!player.findChild<QWidget*>("tool1"));

    player.setVideoUrl(QStringLiteral("clip.mp4")); // a working-folder name
    QCOMPARE(player.videoUrl(), QUrl::fromLocalFile(m_clip));
    QCOMPARE(player.playState(), int(PlayerView::Playing));
    auto* total = player.findChild<QLabel*>("timeTotal");
    auto* current = player.findChild<QLabel*>("timeCur");
    QTRY_COMPARE_WITH_TIMEOUT(total->text(), QStringLiteral("00:00:09"), 15000);
    QVERIFY(qAbs(player.duration() - 9000) < 200);
    QCOMPARE(player.findChild<PlayerPositionSlider*>("slider0")->maximum(), 9);
    QTRY_COMPARE_WITH_TIMEOUT(current->text(), QStringLiteral("00:00:01"), 5000);
    QVERIFY(player.findChild<QPushButton*>("btnPlay0")->isChecked());

    // The tool bar hides itself and comes back when the mouse moves.
    auto* tool = player.findChild<QWidget*>("tool0");
    QTRY_VERIFY_WITH_TIMEOUT(tool->isHidden(), 6000);
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 50), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(player.viewport(), &move);
    QVERIFY(!tool->isHidden());

    player.findChild<QPushButton*>("btnPlay0")->click(); // pauses the video
    QTRY_COMPARE(player.videoPlayer()->state(), QMediaPlayer::PausedState);
    QVERIFY(!player.findChild<QPushButton*>("btnPlay0")->isChecked());
    QCOMPARE(player.playState(), int(PlayerView::Playing)); // the tool bar does not change it
}

void PlayerTest::playSentenceLoopsInsideTheSentence() {
    PlayerView player(false);
    player.resize(640, 360);
    player.show();
    player.setSentences(kSentences);
    player.setVideoUrl(m_clip);
    QTRY_VERIFY_WITH_TIMEOUT(player.duration() > 0, 15000);

    player.playSentence(true, 1);
    QVERIFY(player.isLooping());
    QCOMPARE(player.loopStart(), 4000);
    QCOMPARE(player.loopEnd(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(player.position() >= 4000 && player.position() < 5000, 5000);
    // Two passes over the one-second sentence never leave it for long.
    const LoopWatch loop = LoopWatch::follow(player, 2, 20000);
    QCOMPARE(loop.wraps, 2);
    QVERIFY(loop.lowest >= 3900);
    QVERIFY(loop.highest < 5400);

    player.playSentence(false, 0); // leaves the loop, restarts at the first sentence
    QVERIFY(!player.isLooping());
    QTRY_VERIFY_WITH_TIMEOUT(player.position() >= 1000 && player.position() < 2500, 5000);
}

void PlayerTest::playSentenceOutsideTheListDoesNothing() {
    PlayerView player(false);
    player.playSentence(true, 0); // a clip without subtitles
    QVERIFY(!player.isLooping());
    QCOMPARE(player.videoPlayer()->state(), QMediaPlayer::StoppedState);
    player.setSentences(kSentences);
    player.playSentence(true, 3);
    player.playSentence(true, -1);
    QVERIFY(!player.isLooping());
    QCOMPARE(player.videoPlayer()->state(), QMediaPlayer::StoppedState);
}

// Clips play to their end by themselves: replaying a sentence from there is
// the usual case on the record page, from any state of the player.
void PlayerTest::playSentenceAfterTheEndPlays() {
    PlayerView player(false);
    player.resize(640, 360);
    player.show();
    player.setSentences(kSentences);
    player.setVideoUrl(m_clip);
    QMediaPlayer* video = player.videoPlayer();
    QTRY_VERIFY_WITH_TIMEOUT(player.duration() > 0, 15000);
    for (int round = 0; round < 3; ++round) {
        player.playSentence(false, 0); // leaves the loop, so that the clip can end
        player.setPosition(8500);
        QTRY_COMPARE_WITH_TIMEOUT(video->mediaStatus(), QMediaPlayer::EndOfMedia, 10000);
        const int index = round % 2 ? 2 : 1;
        player.playSentence(true, index);
        const qint64 start = player.loopStart(), stop = player.loopEnd();
        QTRY_VERIFY_WITH_TIMEOUT(video->state() == QMediaPlayer::PlayingState &&
                                     player.position() > start && player.position() < stop,
                                 10000);
        QCOMPARE(video->error(), QMediaPlayer::NoError);
    }
    // The play button after the end plays the clip again.
    player.playSentence(false, 0);
    player.setPosition(8500);
    QTRY_COMPARE_WITH_TIMEOUT(video->mediaStatus(), QMediaPlayer::EndOfMedia, 10000);
    player.findChild<QPushButton*>("btnPlay0")->click();
    QTRY_VERIFY_WITH_TIMEOUT(video->state() == QMediaPlayer::PlayingState &&
                                 player.position() > 0 && player.position() < 3000,
                             10000);
    // A looped sentence that runs to the end of the clip starts again.
    QVariantList toTheEnd = kSentences;
    toTheEnd << sentence("00:00:08,000", "00:00:10,000", "Last");
    player.setSentences(toTheEnd);
    player.playSentence(true, 3);
    QTRY_VERIFY_WITH_TIMEOUT(player.position() > 8600, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(video->state() == QMediaPlayer::PlayingState &&
                                 player.position() >= 8000 && player.position() < 8500,
                             10000);
    player.setSentences(kSentences);
    // Also from a stopped and from a paused player.
    player.stop();
    player.playSentence(true, 1);
    QTRY_VERIFY_WITH_TIMEOUT(player.position() > 4000 && player.position() < 5000, 10000);
    player.pause();
    player.playSentence(false, 0);
    QTRY_VERIFY_WITH_TIMEOUT(video->state() == QMediaPlayer::PlayingState &&
                                 player.position() > 1000 && player.position() < 3000,
                             10000);
    QCOMPARE(video->error(), QMediaPlayer::NoError);
}

void PlayerTest::fullWindowShowsSubtitlesAndSteps() {
    PlayerView player(true);
    player.resize(800, 450);
    player.show();
    QVERIFY(!player.findChild<QWidget*>("tool0"));
    player.setSentences(kSentences);
    player.setVideoUrl(m_clip);
    auto* en = player.findChild<QPlainTextEdit*>("en");
    auto* cn = player.findChild<QLabel*>("cn");
    auto* time = player.findChild<QLabel*>("time");
    QTRY_COMPARE_WITH_TIMEOUT(en->toPlainText(), QStringLiteral("First"), 15000);
    QCOMPARE(cn->text(), QStringLiteral("中文"));
    QVERIFY(time->text().endsWith(QStringLiteral("/00:00:09")));
    QTRY_COMPARE_WITH_TIMEOUT(en->toPlainText(), QString(), 3000); // between sentences

    auto* single = player.findChild<QPushButton*>("btnSingle");
    auto* prev = player.findChild<QPushButton*>("btnPrev");
    auto* next = player.findChild<QPushButton*>("btnNext");
    QVERIFY(prev->isHidden());
    single->click();
    QVERIFY(!prev->isHidden() && !next->isHidden());
    QCOMPARE(player.currentSentence(), 0);
    prev->click(); // nothing before the first
    QCOMPARE(player.currentSentence(), 0);
    next->click();
    next->click();
    QCOMPARE(player.currentSentence(), 2);
    QCOMPARE(player.loopStart(), 6000);
    next->click(); // nothing after the last
    QCOMPARE(player.currentSentence(), 2);
    single->click();
    single->click(); // back on: loops sentence 0 again
    QCOMPARE(player.currentSentence(), 0);
    QCOMPARE(player.loopEnd(), 2500);

    player.findChild<QPushButton*>("btnZY")->click();
    QVERIFY(cn->isHidden());

    // A click on the looping sentence's word asks for it and pauses the clip.
    QSignalSpy query(&player, &PlayerView::QueryWord);
    QTRY_COMPARE_WITH_TIMEOUT(en->toPlainText(), QStringLiteral("First"), 5000);
    QTextCursor inside(en->document());
    inside.setPosition(2);
    QTest::mouseClick(en->viewport(), Qt::LeftButton, {}, en->cursorRect(inside).center());
    QCOMPARE(query.count(), 1);
    QCOMPARE(query.first().first().toString(), QStringLiteral("First"));
    QCOMPARE(player.playState(), int(PlayerView::Paused));
}

void PlayerTest::spaceKeyFollowsThePlayState() {
    PlayerView player(false);
    player.show();
    player.setVideoUrl(m_clip);
    QTRY_COMPARE_WITH_TIMEOUT(player.videoPlayer()->state(), QMediaPlayer::PlayingState, 15000);
    player.findChild<QPushButton*>("btnPlay0")->click(); // pauses; the state still says playing
    QTest::keyClick(&player, Qt::Key_Space);
    QCOMPARE(player.playState(), int(PlayerView::Paused));
    QCOMPARE(player.videoPlayer()->state(), QMediaPlayer::PausedState);
    QTest::keyClick(&player, Qt::Key_Space);
    QCOMPARE(player.playState(), int(PlayerView::Playing));
    QTRY_COMPARE(player.videoPlayer()->state(), QMediaPlayer::PlayingState);
}

QTEST_MAIN(PlayerTest)
#include "PlayerTest.moc"
