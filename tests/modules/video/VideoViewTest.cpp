// The clip page view and its module wiring, headless: pages by status and
// dubbing state, level, ranking strip and rows, member-only cover, record
// rows, homework window and the teaching hand-over.
#include "VideoView.h"
#include "CachedFile.h"
#include "EventIds.h"
#include "Facade.h"
#include "Mediator.h"
#include "PlayerView.h"
#include "TaskView.h"
#include "Toast.h"
#include "UserDao.h"
#include "VideoModel.h"
#include "VideoObject.h"
#include "VideoRankRightViewItem.h"
#include "VideoRecordViewItem.h"
#include "VideoRecordViewItemPreview.h"
#include "VideoViewModel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>
#include <memory>

namespace {
// Nothing listens on port 1, so downloads fail at once and only files that
// are already in the working folder are used.
const QString Origin = QStringLiteral("http://127.0.0.1:1/media/");

QString prepared(const QString& name, const QByteArray& content) {
    const QString url = Origin + name;
    QDir().mkpath(CachedFile::folder());
    QFile file(CachedFile::localPath(url));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return url;
}

QString subtitles(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += QString("%1\n00:00:0%2,000 --> 00:00:0%3,500\nSentence %1\n句子 %1\n\n")
                    .arg(i + 1)
                    .arg(i * 2 + 1)
                    .arg(i * 2 + 2)
                    .toUtf8();
    return prepared(QString("clip%1.srt").arg(count), text);
}

QVariantList ranking(int count) {
    QVariantList list;
    for (int i = 0; i < count; ++i)
        list << QVariantMap{{"uid", QString::number(100 + i)},
                            {"id", QString::number(i + 1)},
                            {"nickname", QString("learner%1").arg(i)},
                            {"create_time", "2026-12-01"},
                            {"avatar", Origin + QString("face%1").arg(i)}};
    return list;
}

class EventLog : public Mediator {
public:
    QList<QPair<int, QVariant>> events;
    void onEvent(int id, const AnyValue& value) override {
        events.append({id, value.holds<QVariant>() ? value.as<QVariant>() : QVariant()});
    }
    QList<int> ids() const {
        QList<int> result;
        for (const auto& e : events)
            result << e.first;
        return result;
    }
};
} // namespace

class VideoViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void levelShowsPreAAndPicture();
    void statusChoosesThePage();
    void rankingFillsStripAndRows();
    void stripClickReportsTheEntry();
    void favouriteButtonTogglesAndFollowsTheService();
    void memberOnlyCoverAsksToJoin();
    void recordPageBuildsOneRowPerSentence();
    void recordPageWithoutSubtitles();
    void previewNeedsEveryRowRecorded();
    void scorePageForMembersAndOthers();
    void teachingGetsThePlayerState();
    void otherLearnersDubShowsTheirCard();
    void homeworkWindowReportsThroughThePage();

    void moduleReadsMembershipOnce();
    void moduleRankClickOpensTheOtherDub();
    void moduleBackLeavesDubbingThenThePage();
    void moduleTeachingStopsAndResumesThePlayer();
    void pageDiesWhileOnTheRecordPage();
    void fullScreenPlayerKeepsItsSizeAndGoesWithThePage();

private:
    template <typename T> T* child(const char* name) const {
        return m_view->findChild<T*>(QString::fromLatin1(name));
    }
    int page() const { return child<QStackedWidget>("sw")->currentIndex(); }

    UserDao* m_user = nullptr;
    std::unique_ptr<VideoView> m_view;
};

void VideoViewTest::initTestCase() {
    m_user = new UserDao(this);
    Facade::instance()->registDao(m_user);
}

void VideoViewTest::init() {
    m_user->reset();
    m_view = std::make_unique<VideoView>();
    m_view->resize(1020, 600);
    m_view->show();
}

void VideoViewTest::cleanup() {
    m_view.reset();
}

void VideoViewTest::levelShowsPreAAndPicture() {
    auto* level = child<QLabel>("level");
    auto* stars = child<QWidget>("start");
    m_view->onLevelChanged("0.5");
    QCOMPARE(level->text(), QStringLiteral("PreA0"));
    QCOMPARE(stars->styleSheet(), QStringLiteral("border-image: url(:/images/level0.5.png)"));
    m_view->onLevelChanged(2);
    QCOMPARE(level->text(), QStringLiteral("PreA2"));
    QCOMPARE(stars->styleSheet(), QStringLiteral("border-image: url(:/images/level2.png)"));
    m_view->onLevelChanged("0");
    QCOMPARE(level->text(), QStringLiteral("PreA2"));
    QCOMPARE(stars->styleSheet(), QStringLiteral("border-image: url(:/images/level0.png)"));
}

void VideoViewTest::statusChoosesThePage() {
    QCOMPARE(page(), int(VideoView::PageDetail));
    m_view->onStatusChanged("VIDEO_OTHER");
    QCOMPARE(page(), int(VideoView::PageOther));
    QVERIFY(child<QWidget>("left")->isHidden());
    m_view->onStatusChanged("VIDEO_DETAIL");
    QCOMPARE(page(), int(VideoView::PageDetail));
    QVERIFY(!child<QWidget>("left")->isHidden());
    QVERIFY(child<QListView>("listView")->model());
    m_view->onStatusChanged("VIDEO_RECORD");
    QCOMPARE(page(), int(VideoView::PageDetail));
}

void VideoViewTest::rankingFillsStripAndRows() {
    m_view->onStatusChanged("VIDEO_DETAIL");
    m_view->onRankChanged(ranking(4));
    QAbstractItemModel* strip = child<QListView>("listView")->model();
    QCOMPARE(strip->rowCount(), 4);
    const QVariantMap third = strip->index(2, 0).data().toMap();
    QCOMPARE(third.value("index").toInt(), 2);
    QCOMPARE(third.value("avatar").toString(), CachedFile::localPath(Origin + "face2"));
    // A repeated announcement replaces the strip.
    m_view->onRankChanged(ranking(4));
    QCOMPARE(strip->rowCount(), 4);

    m_view->onPublicSuccess();
    QCOMPARE(page(), int(VideoView::PageSuccess));
    auto* rows = child<QListWidget>("listRight1");
    QCOMPARE(rows->count(), 4);
    auto* fourth = qobject_cast<VideoRankRightViewItem*>(rows->itemWidget(rows->item(3)));
    QVERIFY(fourth);
    QCOMPARE(fourth->findChild<QLabel*>("label")->text(), QStringLiteral("4"));
    QCOMPARE(fourth->findChild<QLabel*>("nick")->text(), QStringLiteral("learner3"));

    QSignalSpy clicked(m_view.get(), &VideoView::ClickVideoRank);
    QTest::mouseClick(fourth, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toMap().value("id").toString(), QStringLiteral("4"));

    // On the other learner's page the list shows the entries as received.
    m_view->onStatusChanged("VIDEO_OTHER");
    m_view->onRankChanged(ranking(2));
    QCOMPARE(child<QListWidget>("listRight")->count(), 2);
}

void VideoViewTest::stripClickReportsTheEntry() {
    m_view->onStatusChanged("VIDEO_DETAIL");
    m_view->onRankChanged(ranking(3));
    auto* strip = child<QListView>("listView");
    QApplication::processEvents();
    QSignalSpy clicked(m_view.get(), &VideoView::ClickVideoRank);
    const QRect second = strip->visualRect(strip->model()->index(1, 0));
    QVERIFY(second.isValid());
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toMap().value("uid").toString(), QStringLiteral("101"));
}

void VideoViewTest::favouriteButtonTogglesAndFollowsTheService() {
    auto* button = child<QPushButton>("btnFavorite");
    QSignalSpy add(m_view.get(), &VideoView::ClickFavorite);
    QSignalSpy remove(m_view.get(), &VideoView::ClickUnFavorite);
    button->click();
    QVERIFY(button->isChecked());
    button->click();
    QCOMPARE(add.count(), 1);
    QCOMPARE(remove.count(), 1);
    m_view->onIsFavorited(true);
    QVERIFY(button->isChecked());
    m_view->onIsFavorited(false);
    QVERIFY(!button->isChecked());
}

void VideoViewTest::memberOnlyCoverAsksToJoin() {
    m_view->onSVIPChanged("0");
    QVERIFY(!m_view->findChild<QWidget*>("svipCover"));
    m_view->onSVIPChanged("1");
    auto* cover = m_view->findChild<QWidget*>("svipCover");
    QVERIFY(cover && cover->isVisible());
    QCOMPARE(cover->size(), child<QWidget>("video")->size());
    QCOMPARE(m_view->player()->playState(), 1);
    QSignalSpy join(m_view.get(), &VideoView::ClickSVIP);
    cover->findChild<QPushButton*>()->click();
    QCOMPARE(join.count(), 1);
}

void VideoViewTest::recordPageBuildsOneRowPerSentence() {
    m_view->setMember(true);
    m_view->onSrtChanged(subtitles(3));
    m_view->onVideoDetailChanged(QVariantMap{{"audio", Origin + "bg.mp3"}});
    m_view->onIsRecordingChanged(true);
    QCOMPARE(page(), int(VideoView::PageRecord));
    QVERIFY(child<QWidget>("left")->isHidden());
    auto* list = child<QListWidget>("listWidget");
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->currentRow(), 0);
    const QList<VideoRecordViewItem*> rows = m_view->recordRows();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[2]->index(), QStringLiteral("2"));
    QCOMPARE(rows[2]->bg(), Origin + "bg.mp3"); // not downloaded: the address
    QCOMPARE(rows[1]->durationMs(), 1500);
    QVERIFY(rows[0]->isMember());
    QVERIFY(qobject_cast<VideoRecordViewItemPreview*>(list->itemWidget(list->item(3))));

    m_view->onIsRecordingChanged(false);
    QCOMPARE(list->count(), 0);
    QCOMPARE(page(), int(VideoView::PageDetail));
    QVERIFY(!child<QWidget>("left")->isHidden());
}

void VideoViewTest::recordPageWithoutSubtitles() {
    m_view->onIsRecordingChanged(true);
    auto* list = child<QListWidget>("listWidget");
    QCOMPARE(list->count(), 1);
    QVERIFY(m_view->recordRows().isEmpty());
    m_view->onClickPreview();
    QCOMPARE(page(), int(VideoView::PageRecord));
    m_view->onIsRecordingChanged(false);
    QCOMPARE(page(), int(VideoView::PageDetail));
}

void VideoViewTest::previewNeedsEveryRowRecorded() {
    m_view->onSrtChanged(subtitles(2));
    m_view->onIsRecordingChanged(true);
    m_view->onClickPreview();
    QCOMPARE(Toast::lastText(), QStringLiteral("配音未完成!"));
    QCOMPARE(page(), int(VideoView::PageRecord));
}

void VideoViewTest::scorePageForMembersAndOthers() {
    const QVariantMap averages{
        {"overall", 84}, {"accuracy", 90}, {"fluency", 70}, {"integrity", 100}};
    m_view->setMember(true);
    m_view->showScorePage(averages);
    QCOMPARE(page(), int(VideoView::PagePublish));
    QVERIFY(child<QWidget>("score")->styleSheet().contains(":/images/excellentx2.png"));
    QCOMPARE(child<QLabel>("value")->text(), QStringLiteral("84"));
    QVERIFY(child<QPushButton>("btnSVIP")->isHidden());
    for (auto [bar, label, value] :
         {std::tuple{"accuracy", "accuracyValue", 90}, std::tuple{"fluency", "fluencyValue", 70},
          std::tuple{"integrity", "integrityValue", 100}}) {
        QCOMPARE(child<QProgressBar>(bar)->value(), value);
        QCOMPARE(child<QLabel>(label)->text(), QString::number(value));
    }
    m_view->showScorePage({{"overall", 59}});
    QVERIFY(child<QWidget>("score")->styleSheet().contains(":/images/zaijiezailix2.png"));
    QCOMPARE(child<QLabel>("value")->text(), QString());

    m_view->setMember(false);
    m_view->showScorePage(averages);
    QVERIFY(child<QWidget>("score")->styleSheet().contains(":/images/feihuiyuanx2.png"));
    QCOMPARE(child<QLabel>("value")->text(), QString());
    QVERIFY(!child<QPushButton>("btnSVIP")->isHidden());
}

void VideoViewTest::teachingGetsThePlayerState() {
    m_view->onSrtChanged(subtitles(2));
    m_view->onTitleChanged("Clip title");
    QSignalSpy teach(m_view.get(), &VideoView::ClickTeach);
    child<QPushButton>("btnTeach")->click();
    QCOMPARE(teach.count(), 1);
    const QVariantMap content = teach.at(0).at(0).toMap();
    QCOMPARE(content.value("title").toString(), QStringLiteral("Clip title"));
    QCOMPARE(content.value("srt").toList().size(), 2);
    for (const char* key : {"url", "pos", "dur"})
        QVERIFY2(content.contains(key), key);
}

void VideoViewTest::otherLearnersDubShowsTheirCard() {
    m_view->onStatusChanged("VIDEO_OTHER");
    m_view->onRankChanged(ranking(3));
    m_view->onUserInfoChanged(QVariantMap{{"nickname", "<b>Ann</b>"},
                                          {"my_shows", "12"},
                                          {"fans", "3"},
                                          {"follows", "4"},
                                          {"title", "Their clip"},
                                          {"difficulty", "0.5"},
                                          {"course_video_srt", Origin + "dub.mp4"},
                                          {"audio", Origin + "voice.mp3"},
                                          {"avatar", Origin + "ann.png"}});
    // Names are the learners' own text, never markup.
    QCOMPARE(child<QLabel>("name")->text(), QStringLiteral("<b>Ann</b>"));
    QCOMPARE(child<QLabel>("name")->textFormat(), Qt::PlainText);
    QCOMPARE(child<QLabel>("count")->text(), QStringLiteral("12"));
    QCOMPARE(child<QLabel>("follower")->text(), QStringLiteral("3"));
    QCOMPARE(child<QLabel>("follow")->text(), QStringLiteral("4"));
    QCOMPARE(child<QLabel>("title")->text(), QStringLiteral("Their clip"));
    QCOMPARE(child<QLabel>("level")->text(), QStringLiteral("PreA0"));
    QCOMPARE(child<QListWidget>("listRight")->count(), 3);
    QCOMPARE(m_view->player()->videoUrl(), QUrl(Origin + "dub.mp4"));
}

void VideoViewTest::homeworkWindowReportsThroughThePage() {
    QSignalSpy assigned(m_view.get(), &VideoView::ClickAssignTask);
    m_view->onClassInfoChanged(QVariantList{QVariantMap{{"id", "7"}, {"name", "<i>Class A"}}});
    TaskView* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<TaskView*>(w))
            window = t;
    QVERIFY(window && window->isVisible());
    auto* group = window->findChild<QLabel*>("name");
    QCOMPARE(group->text(), QStringLiteral("<i>Class A"));
    QCOMPARE(group->textFormat(), Qt::PlainText);
    QCOMPARE(window->windowModality(), Qt::ApplicationModal);
    QCOMPARE(window->windowTitle(), QStringLiteral("布置作业"));
    window->findChild<QPushButton*>("btnPublish")->click();
    QCOMPARE(assigned.count(), 1);
    QCOMPARE(assigned.at(0).at(0).toStringList(), QStringList());
}

void VideoViewTest::moduleReadsMembershipOnce() {
    m_user->isVIP = QStringLiteral("1");
    QObject main;
    auto* page = new VideoObject(&main);
    auto* view = qobject_cast<VideoView*>(page->view());
    QVERIFY(view->isMember());
    m_user->isVIP = QStringLiteral("0");
    QVERIFY(view->isMember());
    auto* second = new VideoObject(&main);
    QVERIFY(!qobject_cast<VideoView*>(second->view())->isMember());
}

void VideoViewTest::moduleRankClickOpensTheOtherDub() {
    QObject main;
    EventLog log;
    auto* page = new VideoObject(&main);
    page->viewModel()->setProperty("status", "VIDEO_DETAIL");
    auto* view = qobject_cast<VideoView*>(page->view());
    view->resize(1020, 600);
    view->show();
    page->videoViewModel()->onUpdateRank(ranking(2));
    auto* strip = view->findChild<QListView*>("listView");
    QApplication::processEvents();
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {},
                      strip->visualRect(strip->model()->index(0, 0)).center());
    QCOMPARE(view->findChild<QStackedWidget*>("sw")->currentIndex(), int(VideoView::PageOther));
    QCOMPARE(log.ids(), QList<int>{Event::REQ_SHOW_DETAIL});
    QCOMPARE(log.events.first().second.toMap(), (QVariantMap{{"uid", "100"}, {"showID", "1"}}));
}

void VideoViewTest::moduleBackLeavesDubbingThenThePage() {
    m_user->hasLogin = true;
    QObject main;
    EventLog log;
    auto* page = new VideoObject(&main);
    auto* view = qobject_cast<VideoView*>(page->view());
    view->findChild<QPushButton*>("btnRecord")->click();
    auto* pages = view->findChild<QStackedWidget*>("sw");
    QCOMPARE(pages->currentIndex(), int(VideoView::PageRecord));
    log.dispatchEvent(Event::NAV_BACK, AnyValue());
    QCOMPARE(pages->currentIndex(), int(VideoView::PageDetail));
    log.dispatchEvent(Event::NAV_BACK, AnyValue());
    QCOMPARE(log.ids(), (QList<int>{Event::DUBBING_STATE, Event::NAV_BACK, Event::DUBBING_STATE,
                                    Event::NAV_BACK, Event::LEAVE_VIDEO_PAGE}));
}

void VideoViewTest::moduleTeachingStopsAndResumesThePlayer() {
    QObject main;
    EventLog log;
    auto* page = new VideoObject(&main);
    PlayerView* player = qobject_cast<VideoView*>(page->view())->player();
    player->play();
    log.dispatchEvent(Event::SHOW_TEACHING, AnyValue::of<QVariant>(QVariantMap()));
    QCOMPARE(player->playState(), 2);
    log.dispatchEvent(Event::TEACHING_CLOSED, AnyValue());
    QCOMPARE(player->playState(), 0);
}

void VideoViewTest::pageDiesWhileOnTheRecordPage() {
    m_view->onSrtChanged(subtitles(2));
    m_view->onIsRecordingChanged(true);
    QPointer<VideoRecordViewItem> row = m_view->recordRows().first();
    m_view.reset();
    QVERIFY(!row);
}

void VideoViewTest::fullScreenPlayerKeepsItsSizeAndGoesWithThePage() {
    QPointer<PlayerView> player = m_view->player();
    player->findChild<QPushButton*>(QStringLiteral("btnFullScreen"))->click();
    QVERIFY(player->isWindow());
    const QSize screen = player->size();
    m_view->resize(1200, 700);
    QTRY_COMPARE(m_view->size(), QSize(1200, 700));
    QCOMPARE(player->size(), screen);
    m_view.reset();
    QVERIFY(!player);
}

QTEST_MAIN(VideoViewTest)
#include "VideoViewTest.moc"
