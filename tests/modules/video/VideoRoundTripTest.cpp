// The clip page against the reference service: a clip opened from the
// service gets its ranking, favourite state and subtitles; a rank click
// shows that learner's dub; the teacher assigns homework; the record button
// builds one row per service sentence.
#include "EventIds.h"
#include "Facade.h"
#include "HttpHandler.h"
#include "Mediator.h"
#include "PlayerView.h"
#include "TaskView.h"
#include "TaskViewItem.h"
#include "Toast.h"
#include "UserDao.h"
#include "VideoObject.h"
#include "VideoRecordViewItem.h"
#include "VideoView.h"
#include "VideoViewModel.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMediaPlayer>
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

private:
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

QTEST_MAIN(VideoRoundTripTest)
#include "VideoRoundTripTest.moc"
