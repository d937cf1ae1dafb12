// The clip page against the reference service: a clip opened from the
// service gets its ranking, favourite state and subtitles; a rank click
// shows that learner's dub; the teacher assigns homework; the record button
// builds one row per service sentence; a dub recorded for real is previewed,
// published and ranked.
#include "AudioMatch.h"
#include "EventIds.h"
#include "Facade.h"
#include "HttpHandler.h"
#include "Mediator.h"
#include "PYProgress.h"
#include "PlayerView.h"
#include "ScoreSummary.h"
#include "SentenceTrack.h"
#include "TaskView.h"
#include "TaskViewItem.h"
#include "Toast.h"
#include "UserDao.h"
#include "VideoObject.h"
#include "VideoRankRightViewItem.h"
#include "VideoRecordViewItem.h"
#include "VideoView.h"
#include "VideoViewModel.h"
#include "WindowTestHelpers.h"
#include "WordView.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMediaPlayer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>
#include <memory>

namespace {
constexpr int ServiceMs = 20000;

TaskView* openTaskWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TaskView*>(w); window && window->isVisible())
            return window;
    return nullptr;
}

// Plays the main window's part: clip details come back as OPEN_VIDEO.
class MainStandIn : public Mediator {
public:
    QVariantMap clip;
    void onEvent(int id, const AnyValue& value) override {
        if (id == Event::RES_COURSE_DETAIL_OK) {
            clip = value.as<QVariant>().toMap();
            dispatchEvent(Event::OPEN_VIDEO, value);
        }
    }
};
} // namespace

class VideoRoundTripTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void clipGetsRankingFavouriteAndSubtitles();
    void rankClickShowsThatLearnersDub();
    void teacherAssignsHomework();
    void recordButtonBuildsOneRowPerSentence();
    void recordedDubIsPreviewedPublishedAndRanked();

private:
    void recordEverySentence(VideoView* page);
    void checkDubHoldsEveryTake(VideoView* page);
    void publishFailsWithoutUpload(VideoView* page);
    void keepDubForListening(VideoView* page);
    void wordOfAScoredSentenceOpensTheWordCard(VideoView* page);
    void login(const QString& mobile, const QString& password);
    VideoView* openClip(const QString& courseId);
    // Keeps a picture of the page for people to look at.
    void save(const QString& name);

    UserDao* m_user = nullptr;
    std::unique_ptr<MainStandIn> m_main;
    QObject m_parent;
    VideoObject* m_page = nullptr;
};

void VideoRoundTripTest::initTestCase() {
    QVERIFY(!qEnvironmentVariableIsEmpty("LINTAVO_API_ORIGIN"));
    m_user = new UserDao(this);
    m_user->reset();
    Facade::instance()->registDao(m_user);
    HttpHandler::instance();
    m_main = std::make_unique<MainStandIn>();
}

void VideoRoundTripTest::cleanup() {
    delete m_page;
    m_page = nullptr;
}

void VideoRoundTripTest::save(const QString& name) {
    QTest::qWait(500); // let pictures and the first frames arrive
    const QString dir = qEnvironmentVariable("LINTAVO_BIN_DIR") + "/../test-artifacts/video";
    QDir().mkpath(dir);
    QVERIFY(m_page->videoView()->grab().save(dir + '/' + name + ".png"));
}

void VideoRoundTripTest::login(const QString& mobile, const QString& password) {
    m_user->reset();
    m_main->dispatchEvent(Event::REQ_LOGIN_PASSWORD,
                          AnyValue::of(QMap<QString, QString>{{"ID", mobile}, {"PW", password}}));
    QTRY_VERIFY_WITH_TIMEOUT(m_user->hasLogin, ServiceMs);
}

VideoView* VideoRoundTripTest::openClip(const QString& courseId) {
    m_page = new VideoObject(&m_parent);
    m_page->videoViewModel()->setStatus(QStringLiteral("VIDEO_DETAIL"));
    m_page->videoView()->resize(1020, 600);
    m_page->show(true);
    m_main->clip.clear();
    m_main->dispatchEvent(Event::REQ_COURSE_DETAIL,
                          AnyValue::of<QVariant>(QVariantMap{{"courseID", courseId}}));
    return m_page->videoView();
}

void VideoRoundTripTest::clipGetsRankingFavouriteAndSubtitles() {
    login("13800000001", "lintavo01");
    VideoView* page = openClip("1");
    QSignalSpy favourite(m_page->videoViewModel(), &VideoViewModel::IsFavorited);
    QTRY_VERIFY_WITH_TIMEOUT(!m_main->clip.isEmpty(), ServiceMs);
    QCOMPARE(page->findChild<QLabel*>("title")->text(), m_main->clip.value("title").toString());

    auto* strip = page->findChild<QListView*>("listView");
    QTRY_VERIFY_WITH_TIMEOUT(strip->model()->rowCount() == 3, ServiceMs);
    QTRY_VERIFY_WITH_TIMEOUT(favourite.count() == 1, ServiceMs);
    QCOMPARE(favourite.at(0).at(0).toBool(), false);
    QTRY_VERIFY_WITH_TIMEOUT(page->player()->sentenceCount() > 0, ServiceMs);
    // The avatars arrive in the working folder and the strip paints them.
    const QString avatar = strip->model()->index(0, 0).data().toMap().value("avatar").toString();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(avatar), ServiceMs);
    save("detail");

    // Favourite it, then a fresh page for the same clip shows it as one.
    page->findChild<QPushButton*>("btnFavorite")->click();
    QTRY_COMPARE_WITH_TIMEOUT(Toast::lastText(), QStringLiteral("添加收藏成功!"), ServiceMs);
    cleanup();
    page = openClip("1");
    auto* button = page->findChild<QPushButton*>("btnFavorite");
    QTRY_VERIFY_WITH_TIMEOUT(button->isChecked(), ServiceMs);
    button->click();
    QTRY_COMPARE_WITH_TIMEOUT(Toast::lastText(), QStringLiteral("取消收藏成功!"), ServiceMs);
}

void VideoRoundTripTest::rankClickShowsThatLearnersDub() {
    login("13800000001", "lintavo01");
    VideoView* page = openClip("1");
    auto* strip = page->findChild<QListView*>("listView");
    QTRY_VERIFY_WITH_TIMEOUT(strip->model()->rowCount() > 0, ServiceMs);
    const QVariantMap first = strip->model()->index(0, 0).data().toMap();
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {},
                      strip->visualRect(strip->model()->index(0, 0)).center());
    QCOMPARE(page->findChild<QStackedWidget*>("sw")->currentIndex(), int(VideoView::PageOther));
    auto* name = page->findChild<QLabel*>("name");
    QTRY_COMPARE_WITH_TIMEOUT(name->text(), first.value("nickname").toString(), ServiceMs);
    const QVariantMap dub = m_page->videoViewModel()->userInfo().toMap();
    // The dub's picture without the clip's sound, with the learner's voice.
    QCOMPARE(page->player()->videoUrl(), QUrl(dub.value("course_video_srt").toString()));
    QVERIFY(page->player()->videoPlayer()->isMuted());
    QCOMPARE(page->player()->audioPlayer()->media().request().url(),
             QUrl(dub.value("audio").toString()));
    QCOMPARE(page->findChild<QListWidget*>("listRight")->count(), strip->model()->rowCount());
    save("other");
}

void VideoRoundTripTest::teacherAssignsHomework() {
    login("13800000003", "lintavo03");
    VideoView* page = openClip("2");
    QTRY_VERIFY_WITH_TIMEOUT(!m_main->clip.isEmpty(), ServiceMs);
    page->findChild<QPushButton*>("btnTask")->click();
    TaskView* window = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((window = openTaskWindow()) != nullptr, ServiceMs);
    QTRY_COMPARE_WITH_TIMEOUT(window->items().size(), 2, ServiceMs);
    QTRY_VERIFY_WITH_TIMEOUT(!window->items().first()->data().toMap().isEmpty(), ServiceMs);
    window->items().first()->setChecked(true);
    window->findChild<QPushButton*>("btnPublish")->click();
    QTRY_COMPARE_WITH_TIMEOUT(Toast::lastText(), QStringLiteral("布置作业成功!"), ServiceMs);
}

void VideoRoundTripTest::recordButtonBuildsOneRowPerSentence() {
    login("13800000001", "lintavo01");
    VideoView* page = openClip("3");
    QTRY_VERIFY_WITH_TIMEOUT(page->player()->sentenceCount() > 0, ServiceMs);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(page->clip().value("audio").toString()), ServiceMs);
    page->findChild<QPushButton*>("btnRecord")->click();
    const QList<VideoRecordViewItem*> rows = page->recordRows();
    QCOMPARE(rows.size(), page->player()->sentenceCount());
    QCOMPARE(page->findChild<QListWidget*>("listWidget")->count(), rows.size() + 1);
    QCOMPARE(rows.last()->bg(), page->clip().value("audio").toString());
    QVERIFY(rows.first()->durationMs() > 0);
    save("record");
}

namespace {
bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

QString artifactsDir(const QString& name) {
    const QString dir = qEnvironmentVariable("LINTAVO_BIN_DIR") + "/../test-artifacts/" + name;
    QDir().mkpath(dir);
    return dir;
}
} // namespace

// Each take is spoken into the private sound server while it records; the
// next take starts once the row has played its recording back.
void VideoRoundTripTest::recordEverySentence(VideoView* page) {
    QProcess speaker;
    const QList<VideoRecordViewItem*> rows = page->recordRows();
    for (VideoRecordViewItem* row : rows) {
        const QString raw = QString("speech%1-raw.wav").arg(row->index());
        const QString speech = QString("speech%1.wav").arg(row->index());
        QVERIFY(run("espeak-ng", {"-v", "en-us", "-s", "190", "-w", raw, row->referenceText()}));
        QVERIFY(run("sox", {raw, "-r", "16000", "-c", "1", speech}));
        auto speak = connect(row, &VideoRecordViewItem::StartRecord, this,
                             [&speaker, speech] { speaker.start("paplay", {speech}); });
        QSignalSpy played(row, &VideoRecordViewItem::StopPlay);
        row->onClickRecord();
        QTRY_VERIFY_WITH_TIMEOUT(row->isRecorded() && !row->isRecording(), ServiceMs);
        disconnect(speak);
        speaker.waitForFinished(10000);
        if (row != rows.last()) // the preview starts while the last take is still being worked on
            QTRY_VERIFY_WITH_TIMEOUT(!played.isEmpty(), ServiceMs);
    }
}

void VideoRoundTripTest::checkDubHoldsEveryTake(VideoView* page) {
    const QString product = QDir::current().filePath(page->product().value("aacName").toString());
    QVERIFY(QFile::exists(product));
    const QVector<float> dub = AudioMatch::decode(product);
    QList<QVariantMap> scores;
    for (VideoRecordViewItem* row : page->recordRows()) {
        // The preview waited for the row's per-sentence steps and its score.
        QCOMPARE(row->track()->state(), SentenceTrack::State::Ready);
        QVERIFY(!row->isScoring());
        scores << row->scores();
        const AudioMatch::Found found =
            AudioMatch::find(dub, AudioMatch::decode(row->recordWavPath()), row->startMs());
        qInfo() << "take" << row->index() << "in the dub:" << found.gainDb << "dB,"
                << found.offsetMs << "ms";
        QVERIFY(found.ok && qAbs(found.gainDb) < 1 && qAbs(found.offsetMs) <= 20);
    }
    const QVariantMap averages = ScoreSummary::average(scores);
    qInfo() << "scores" << scores << "averages" << averages;
    for (const QString& key : ScoreSummary::keys())
        QCOMPARE(page->product().value(key).toInt(), averages.value(key).toInt());
    // The clip plays silently from its start under the learner's dub.
    QVERIFY(page->player()->videoPlayer()->isMuted());
    QCOMPARE(page->player()->audioPlayer()->media().request().url(), QUrl::fromLocalFile(product));
}

// An upload that fails publishes nothing; the dub stays for another try.
void VideoRoundTripTest::publishFailsWithoutUpload(VideoView* page) {
    QFile fake("upload");
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write("#!/bin/sh\necho '{\"total\":100,\"current\":100}'\nexit 4\n");
    fake.close();
    fake.setPermissions(fake.permissions() | QFileDevice::ExeOwner);
    QSignalSpy published(page, &VideoView::ClickPublish);
    auto* publish = page->findChild<QPushButton*>("btnPublish");
    publish->click();
    QVERIFY(page->progressWindow());
    QTRY_COMPARE_WITH_TIMEOUT(Toast::lastText(), QStringLiteral("上传失败，请重试"), ServiceMs);
    QVERIFY(!page->progressWindow());
    QVERIFY(published.isEmpty());
    QVERIFY(publish->isEnabled());
    QVERIFY(QFile::exists(page->product().value("aacName").toString()));
    QVERIFY(fake.remove());
}

void VideoRoundTripTest::keepDubForListening(VideoView* page) {
    const QString dir = artifactsDir("dub");
    for (const QFileInfo& old : QDir(dir).entryInfoList(QDir::Files))
        QFile::remove(old.filePath());
    const QString product = page->product().value("aacName").toString();
    QVERIFY(QFile::copy(product, dir + "/" + product));
    for (VideoRecordViewItem* row : page->recordRows())
        QVERIFY(QFile::copy(row->recordWavPath(), dir + "/" + row->index() + "record.wav"));
}

// A coloured word of a scored row is looked up in the service's dictionary
// and shown on the word card, with its voices.
void VideoRoundTripTest::wordOfAScoredSentenceOpensTheWordCard(VideoView* page) {
    VideoRecordViewItem* row = page->recordRows().first();
    auto* en = row->findChild<QLabel*>("en");
    QTRY_VERIFY_WITH_TIMEOUT(!row->isScoring() && en->text().contains("word:0"), ServiceMs);
    // The longest word: the dictionary has content words, not "I" or "the".
    static const QRegularExpression link(
        R"re(<a href="(word:\d+)"[^>]*><font[^>]*>([^<]*) </font>)re");
    QString href, longest;
    for (auto it = link.globalMatch(en->text()); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(2).size() > longest.size()) {
            href = match.captured(1);
            longest = match.captured(2);
        }
    }
    QVERIFY2(!href.isEmpty(), qPrintable(en->text()));
    emit en->linkActivated(href);
    QTRY_VERIFY2_WITH_TIMEOUT(visibleWindows<WordView>().size() == 1,
                              qPrintable(longest + ": " + Toast::lastText()), ServiceMs);
    WordView* card = visibleWindows<WordView>().first();
    const QString word = card->findChild<QLabel*>("word")->text();
    QVERIFY2(word.compare(longest, Qt::CaseInsensitive) == 0, qPrintable(word + " / " + longest));
    QVERIFY(card->findChild<QPushButton*>("btnAudioEn") &&
            card->findChild<QPushButton*>("btnAudioAm"));
    QVERIFY(WordView::voiceUrl(word, WordView::British)
                .toString()
                .startsWith(qEnvironmentVariable("LINTAVO_DICT_ORIGIN")));
    card->close();
    QTRY_VERIFY(visibleWindows<WordView>().isEmpty());
}

void VideoRoundTripTest::recordedDubIsPreviewedPublishedAndRanked() {
    login("13800000001", "lintavo01");
    VideoView* page = openClip("5");
    QTRY_VERIFY_WITH_TIMEOUT(page->player()->sentenceCount() > 0, ServiceMs);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(page->clip().value("audio").toString()), ServiceMs);
    page->findChild<QPushButton*>("btnRecord")->click();
    recordEverySentence(page);
    if (QTest::currentTestFailed())
        return;
    wordOfAScoredSentenceOpensTheWordCard(page);

    auto* pages = page->findChild<QStackedWidget*>("sw");
    page->findChild<QPushButton*>("btnPreview")->click();
    PYProgress* progress = page->progressWindow();
    QVERIFY(progress && progress->isVisible());
    page->findChild<QPushButton*>("btnPreview")->click(); // no second preview meanwhile
    QCOMPARE(page->progressWindow(), progress);
    QVERIFY(progress->grab().save(artifactsDir("video") + "/progress.png"));
    QTRY_COMPARE_WITH_TIMEOUT(pages->currentIndex(), int(VideoView::PagePublish), 60000);
    QVERIFY(!page->progressWindow());
    checkDubHoldsEveryTake(page);
    save("score");
    publishFailsWithoutUpload(page);

    QSignalSpy published(page, &VideoView::ClickPublish);
    page->findChild<QPushButton*>("btnPublish")->click();
    QTRY_COMPARE_WITH_TIMEOUT(pages->currentIndex(), int(VideoView::PageSuccess), 60000);
    QCOMPARE(published.size(), 1);
    const QString key = page->product().value("aacName").toString();
    QCOMPARE(published.first().first().toMap().value("aacName").toString(), key);

    // The success page's ranking lists the new dub, served by the service.
    auto* ranking = page->findChild<QListWidget*>("listRight1");
    QString audio;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (int i = 0; i < ranking->count(); ++i) {
                auto* row =
                    qobject_cast<VideoRankRightViewItem*>(ranking->itemWidget(ranking->item(i)));
                const QVariantMap entry = row ? row->data().toMap() : QVariantMap();
                if (entry.value("uid").toString() == m_user->userID &&
                    entry.value("audio").toString().endsWith("/" + key))
                    audio = entry.value("audio").toString();
            }
            return !audio.isEmpty();
        }(),
        ServiceMs);
    save("success");
    QNetworkAccessManager network;
    std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(QUrl(audio))));
    QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), ServiceMs);
    QFile local(key);
    QVERIFY(local.open(QIODevice::ReadOnly));
    QCOMPARE(reply->readAll(), local.readAll());
    keepDubForListening(page);
}

QTEST_MAIN(VideoRoundTripTest)
#include "VideoRoundTripTest.moc"
