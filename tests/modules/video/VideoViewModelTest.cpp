// The clip page's view model and model: the order of what opening a clip
// announces, the member-only rule, homework text, back navigation while
// dubbing and the ranking click.
#include "VideoViewModel.h"
#include "EventIds.h"
#include "Facade.h"
#include "Mediator.h"
#include "TaskView.h"
#include "TaskViewItem.h"
#include "Toast.h"
#include "UserDao.h"
#include "VideoModel.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {
// Records every dispatched event, and the view model's announcements, in one
// sequence so that their relative order can be checked.
class Recorder : public Mediator {
public:
    struct Entry {
        QString what;
        QVariant value;
    };
    QList<Entry> entries;

    void onEvent(int id, const AnyValue& value) override {
        entries.append(
            {QString::number(id), value.holds<QVariant>() ? value.as<QVariant>() : QVariant()});
    }
    void watch(VideoViewModel* vm) {
        const QList<QPair<QString, void (VideoViewModel::*)(const QVariant&)>> signals_ = {
            {"isRecording", &VideoViewModel::IsRecordingChanged},
            {"status", &VideoViewModel::StatusChanged},
            {"title", &VideoViewModel::TitleChanged},
            {"overview", &VideoViewModel::OverviewChanged},
            {"level", &VideoViewModel::LevelChanged},
            {"url", &VideoViewModel::UrlChanged},
            {"srt", &VideoViewModel::SrtChanged},
            {"svip", &VideoViewModel::SVIPChanged},
            {"rank", &VideoViewModel::RankChanged},
            {"classInfo", &VideoViewModel::ClassInfoChanged},
            {"userInfo", &VideoViewModel::UserInfoChanged},
            {"videoDetail", &VideoViewModel::VideoDetailChanged}};
        for (const auto& s : signals_) {
            const QString name = s.first;
            QObject::connect(vm, s.second, vm, [this, name](const QVariant& v) {
                entries.append({name, v});
            });
        }
    }
    QStringList names() const {
        QStringList result;
        for (const Entry& e : entries)
            result << e.what;
        return result;
    }
    QVariant valueOf(const QString& what) const {
        for (const Entry& e : entries)
            if (e.what == what)
                return e.value;
        return {};
    }
};

QString id(Event::Id e) {
    return QString::number(int(e));
}
} // namespace

class VideoViewModelTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openClipAnnouncesInOrder();
    void memberOnlyRule_data();
    void memberOnlyRule();
    void updatesAreAlwaysAnnouncedButNotInvalidOnes();
    void assignmentTextHasTrailingComma();
    void homeworkWindowSendsCheckedGroups();
    void homeworkWindowClosedSendsNothing();
    void backWhileRecordingThenBackAgain();
    void actionsNeedingLoginAskForIt();
    void rankClickSwitchesStatusBeforeAsking();
    void favouriteRequestsAndAnswers();
    void publishRequestCarriesFixedDurationAndFiveScores();
    void spaceKeyIsPassedOn();
    void wordLookupAnswersOnlyItsOwnQuestions();

private:
    void wire();
    void login(const QString& vip);

    UserDao* m_user = nullptr;
    std::unique_ptr<Recorder> m_log;
    std::unique_ptr<VideoViewModel> m_vm;
    std::unique_ptr<VideoModel> m_model;
};

void VideoViewModelTest::initTestCase() {
    m_user = new UserDao(this);
    Facade::instance()->registDao(m_user);
}

void VideoViewModelTest::init() {
    m_user->reset();
    m_log = std::make_unique<Recorder>();
    m_vm = std::make_unique<VideoViewModel>();
    m_model = std::make_unique<VideoModel>();
    m_vm->setModel(m_model.get());
    m_model->setViewModel(m_vm.get());
    m_log->watch(m_vm.get());
}

void VideoViewModelTest::cleanup() {
    m_vm.reset();
    m_model.reset();
    m_log.reset();
}

void VideoViewModelTest::login(const QString& vip) {
    m_user->hasLogin = true;
    m_user->userID = QStringLiteral("7");
    m_user->token = QStringLiteral("tok");
    m_user->tokenUpload = QStringLiteral("up");
    m_user->isVIP = vip;
}

void VideoViewModelTest::openClipAnnouncesInOrder() {
    QCOMPARE(m_model->getDuserDao(), m_user);
    login(QStringLiteral("0"));
    const QVariantMap clip{{"course_id", 42},     {"album_id", 3},
                           {"title", "Clip"},     {"course_title", "Course"},
                           {"sub_title", "Sub"},  {"difficulty", "0.5"},
                           {"video", "http://v"}, {"subtitle_en", "http://s.srt"},
                           {"is_vip", "1"},       {"audio", "http://bg.mp3"}};
    m_log->dispatchEvent(Event::OPEN_VIDEO, AnyValue::of<QVariant>(clip));

    const QStringList expected{id(Event::OPEN_VIDEO),
                               "srt",
                               "title",
                               "level",
                               "overview",
                               "url",
                               "videoDetail",
                               "svip",
                               id(Event::REQ_COURSE_RANK),
                               id(Event::REQ_CHECK_FAVORITE)};
    QCOMPARE(m_log->names(), expected);
    QCOMPARE(m_vm->overview().toString(), QStringLiteral("Course Sub"));
    QCOMPARE(m_vm->svip().toString(), QStringLiteral("1"));
    QCOMPARE(m_vm->videoDetail().toMap().value("uploadToken").toString(), QStringLiteral("up"));
    QCOMPARE(m_log->valueOf(id(Event::REQ_COURSE_RANK)).toMap(), (QVariantMap{{"id", "42"}}));
    const QVariantMap check{
        {"userID", "7"}, {"token", "tok"}, {"courseID", "42"}, {"albumID", "0"}};
    QCOMPARE(m_log->valueOf(id(Event::REQ_CHECK_FAVORITE)).toMap(), check);
}

void VideoViewModelTest::memberOnlyRule_data() {
    QTest::addColumn<QVariant>("isVip");
    QTest::addColumn<QString>("member");
    QTest::addColumn<bool>("covered");
    QTest::newRow("member-only, logged out") << QVariant("1") << QString() << true;
    QTest::newRow("member-only, not a member") << QVariant(2) << QString("0") << true;
    QTest::newRow("member-only, member") << QVariant("1") << QString("1") << false;
    QTest::newRow("free") << QVariant("0") << QString() << false;
    QTest::newRow("missing flag counts as free") << QVariant() << QString() << false;
    QTest::newRow("non-numeric flag counts as free") << QVariant("yes") << QString() << false;
}

void VideoViewModelTest::memberOnlyRule() {
    QFETCH(QVariant, isVip);
    QFETCH(QString, member);
    QFETCH(bool, covered);
    m_user->isVIP = member;
    QVariantMap clip{{"course_id", 1}};
    if (isVip.isValid())
        clip.insert("is_vip", isVip);
    m_log->dispatchEvent(Event::OPEN_VIDEO, AnyValue::of<QVariant>(clip));
    QCOMPARE(m_log->names().contains("svip"), covered);
    QCOMPARE(m_vm->svip().isValid(), covered);
}

void VideoViewModelTest::updatesAreAlwaysAnnouncedButNotInvalidOnes() {
    QSignalSpy titles(m_vm.get(), &VideoViewModel::TitleChanged);
    m_vm->onUpdateTitle(QStringLiteral("same"));
    m_vm->onUpdateTitle(QStringLiteral("same"));
    QCOMPARE(titles.count(), 2);
    m_vm->onUpdateTitle(QVariant());
    QCOMPARE(titles.count(), 2);
    // Plain property writes announce real changes only.
    m_vm->setProperty("title", QStringLiteral("other"));
    m_vm->setProperty("title", QStringLiteral("other"));
    QCOMPARE(titles.count(), 3);
}

void VideoViewModelTest::assignmentTextHasTrailingComma() {
    QCOMPARE(VideoViewModel::groupList(QStringList{"12", "34"}), QStringLiteral("12,34,"));
    QCOMPARE(VideoViewModel::groupList(QVariantList{12, 34}), QStringLiteral("12,34,"));
    QCOMPARE(VideoViewModel::groupList(QStringList()), QString());

    m_log->dispatchEvent(Event::OPEN_VIDEO, AnyValue::of<QVariant>(QVariantMap{{"course_id", 9}}));
    m_vm->onClickAssignTask(QStringList());
    const QVariantMap expected{{"cID", "9"}, {"gID", ""}};
    QCOMPARE(m_log->valueOf(id(Event::REQ_ASSIGN_TASK)).toMap(), expected);
}

void VideoViewModelTest::homeworkWindowSendsCheckedGroups() {
    m_log->dispatchEvent(Event::OPEN_VIDEO, AnyValue::of<QVariant>(QVariantMap{{"course_id", 5}}));
    auto* window = new TaskView;
    connect(window, &TaskView::ClickAssignTask, m_vm.get(), &VideoViewModel::onClickAssignTask);
    QSignalSpy destroyed(window, &QObject::destroyed);
    window->setData(QVariantList{QVariantMap{{"id", 7}, {"name", "A"}},
                                 QVariantMap{{"id", 8}, {"name", "B"}},
                                 QVariantMap{{"id", 9}, {"name", "C"}}});
    window->show();
    const QList<TaskViewItem*> rows = window->items();
    QCOMPARE(rows.size(), 3);
    rows[0]->setChecked(true);
    rows[2]->setChecked(true);
    QVERIFY(rows[0]->isChecked() && rows[2]->isChecked()); // not exclusive
    window->findChild<QPushButton*>("btnPublish")->click();

    QCOMPARE(m_log->valueOf(id(Event::REQ_ASSIGN_TASK)).toMap().value("gID").toString(),
             QStringLiteral("7,9,"));
    QVERIFY(destroyed.count() == 1 || destroyed.wait(1000));
}

void VideoViewModelTest::homeworkWindowClosedSendsNothing() {
    auto* window = new TaskView;
    QSignalSpy assigned(window, &TaskView::ClickAssignTask);
    window->setData(QVariantList{QVariantMap{{"id", 7}}});
    window->show();
    window->items().first()->setChecked(true);
    window->findChild<QPushButton*>("btnClose")->click();
    QCOMPARE(assigned.count(), 0);
}

void VideoViewModelTest::backWhileRecordingThenBackAgain() {
    login(QStringLiteral("1"));
    m_vm->onClickRecord();
    QCOMPARE(m_vm->isRecording().toBool(), true);
    QCOMPARE(m_log->names(), (QStringList{"isRecording", id(Event::DUBBING_STATE)}));
    QCOMPARE(m_log->valueOf(id(Event::DUBBING_STATE)), QVariant(true));

    m_log->entries.clear();
    m_log->dispatchEvent(Event::NAV_BACK, AnyValue());
    QCOMPARE(m_vm->isRecording().toBool(), false);
    QCOMPARE(m_log->names(),
             (QStringList{id(Event::NAV_BACK), "isRecording", id(Event::DUBBING_STATE)}));
    QCOMPARE(m_log->valueOf(id(Event::DUBBING_STATE)), QVariant(false));

    m_log->entries.clear();
    m_vm->onClickReturn();
    QCOMPARE(m_log->names(), (QStringList{id(Event::NAV_BACK), id(Event::LEAVE_VIDEO_PAGE)}));
    QCOMPARE(m_log->valueOf(id(Event::LEAVE_VIDEO_PAGE)), QVariant(false));
}

void VideoViewModelTest::actionsNeedingLoginAskForIt() {
    m_vm->onClickRecord();
    m_vm->onClickFavorite();
    m_vm->onClickTask();
    m_vm->onClickTeach(QVariantMap());
    m_vm->onClickSVIP();
    QCOMPARE(m_log->names(), QVector<QString>(5, id(Event::SHOW_LOGIN)).toList());
    QCOMPARE(m_vm->isRecording().toBool(), false);

    m_log->entries.clear();
    login(QStringLiteral("0"));
    m_vm->onClickTask();
    m_vm->onClickSVIP();
    m_vm->onClickTeach(QVariantMap{{"pos", 5}});
    QCOMPARE(m_log->names(), (QStringList{id(Event::REQ_CLASS_GROUPS), id(Event::SHOW_VIP_PURCHASE),
                                          id(Event::SHOW_TEACHING)}));
    QCOMPARE(m_log->valueOf(id(Event::REQ_CLASS_GROUPS)).toMap(), (QVariantMap{{"type", "1"}}));
    QCOMPARE(m_log->valueOf(id(Event::SHOW_TEACHING)).toMap().value("pos").toInt(), 5);
}

void VideoViewModelTest::rankClickSwitchesStatusBeforeAsking() {
    m_vm->setStatus(QStringLiteral("VIDEO_DETAIL"));
    m_log->entries.clear();
    const QVariantMap entry{{"uid", 5}, {"id", 77}, {"nickname", "n"}};
    m_vm->onClickVideoRank(entry);
    QCOMPARE(m_log->names(), (QStringList{"status", id(Event::REQ_SHOW_DETAIL)}));
    QCOMPARE(m_vm->status().toString(), QStringLiteral("VIDEO_OTHER"));
    const QVariantMap asked{{"uid", "5"}, {"showID", "77"}};
    QCOMPARE(m_log->valueOf(id(Event::REQ_SHOW_DETAIL)).toMap(), asked);

    // A second click announces the status again, and the answer fills userInfo.
    m_log->entries.clear();
    m_vm->onClickVideoRank(entry);
    QCOMPARE(m_log->names(), (QStringList{"status", id(Event::REQ_SHOW_DETAIL)}));
    m_log->dispatchEvent(Event::RES_SHOW_DETAIL_OK,
                         AnyValue::of<QVariant>(QVariantMap{{"nickname", "n"}}));
    QCOMPARE(m_vm->userInfo().toMap().value("nickname").toString(), QStringLiteral("n"));
}

void VideoViewModelTest::favouriteRequestsAndAnswers() {
    m_log->dispatchEvent(Event::OPEN_VIDEO, AnyValue::of<QVariant>(QVariantMap{{"course_id", 3}}));
    m_log->entries.clear();
    // Removing needs no login and then carries an empty session.
    m_vm->onClickUnFavorite();
    const QVariantMap removal{{"userID", ""}, {"token", ""}, {"courseID", "3"}, {"albumID", "0"}};
    QCOMPARE(m_log->valueOf(id(Event::REQ_REMOVE_FAVORITE)).toMap(), removal);

    login(QStringLiteral("1"));
    m_vm->onClickFavorite();
    const QVariantMap adding{{"userID", "7"}, {"token", "tok"}, {"cid", "3"}, {"aid", "0"}};
    QCOMPARE(m_log->valueOf(id(Event::REQ_ADD_FAVORITE)).toMap(), adding);

    QSignalSpy favorited(m_vm.get(), &VideoViewModel::IsFavorited);
    m_log->dispatchEvent(Event::RES_CHECK_FAVORITE_OK,
                         AnyValue::of<QVariant>(QVariantMap{{"is_collect", 1}}));
    m_log->dispatchEvent(Event::RES_CHECK_FAVORITE_OK,
                         AnyValue::of<QVariant>(QVariantMap{{"is_collect", "0"}}));
    QCOMPARE(favorited.count(), 2);
    QCOMPARE(favorited.at(0).at(0).toBool(), true);
    QCOMPARE(favorited.at(1).at(0).toBool(), false);

    m_log->dispatchEvent(Event::RES_ADD_FAVORITE_OK, AnyValue::of<QVariant>(QVariant()));
    QCOMPARE(Toast::lastText(), QStringLiteral("添加收藏成功!"));
    m_log->dispatchEvent(Event::RES_ASSIGN_TASK_FAIL, AnyValue::of<QString>("no"));
    QCOMPARE(Toast::lastText(), QStringLiteral("布置作业失败!"));
}

void VideoViewModelTest::publishRequestCarriesFixedDurationAndFiveScores() {
    login(QStringLiteral("1"));
    m_log->dispatchEvent(Event::OPEN_VIDEO,
                         AnyValue::of<QVariant>(QVariantMap{{"course_id", 3}, {"album_id", 11}}));
    m_log->entries.clear();
    m_vm->onClickPublish(QVariantMap{{"aacName", "1700000000.aac"},
                                     {"overall", 85},
                                     {"accuracy", 80},
                                     {"fluency", 70},
                                     {"integrity", 90}});
    const QVariantMap sent = m_log->valueOf(id(Event::REQ_PUBLISH_SHOW)).toMap();
    QCOMPARE(sent.value("duration").toInt(), 60);
    QCOMPARE(sent.value("score").toString(), QStringLiteral("85,80,70,90,0"));
    QCOMPARE(sent.value("audio").toString(), QStringLiteral("{\"key\":\"1700000000.aac\"}"));
    QCOMPARE(sent.value("albumID").toString(), QStringLiteral("11"));
    QCOMPARE(sent.value("courseID").toString(), QStringLiteral("3"));

    QSignalSpy published(m_vm.get(), &VideoViewModel::PublicSuccess);
    m_log->dispatchEvent(Event::RES_PUBLISH_SHOW_OK, AnyValue::of<QVariant>(QVariant()));
    QCOMPARE(published.count(), 1);
}

void VideoViewModelTest::spaceKeyIsPassedOn() {
    QSignalSpy space(m_vm.get(), &VideoViewModel::ClickSpace);
    m_log->dispatchEvent(Event::KEY_SPACE, AnyValue::of<QVariant>(QVariant()));
    QCOMPARE(space.count(), 1);
}

void VideoViewModelTest::wordLookupAnswersOnlyItsOwnQuestions() {
    QSignalSpy cards(m_vm.get(), &VideoViewModel::QueryWordSuccess);
    const QVariantMap record{{"word", "hello"}, {"ukphonetic", "həˈləʊ"}};
    // An answer to someone else's lookup (teaching mode) opens nothing here.
    m_log->dispatchEvent(Event::RES_WORD_LOOKUP_OK, AnyValue::of<QVariant>(record));
    QCOMPARE(cards.count(), 0);

    m_vm->onQueryWord(QStringLiteral("hello"));
    m_vm->onQueryWord(QString()); // nothing to look up
    QCOMPARE(m_log->names().count(id(Event::REQ_WORD_LOOKUP)), 1);
    QCOMPARE(m_log->valueOf(id(Event::REQ_WORD_LOOKUP)).toMap().value("word").toString(),
             QStringLiteral("hello"));
    m_log->dispatchEvent(Event::RES_WORD_LOOKUP_OK, AnyValue::of<QVariant>(record));
    QCOMPARE(cards.count(), 1);
    QCOMPARE(cards.first().first().toMap().value("word").toString(), QStringLiteral("hello"));
    QCOMPARE(m_model->pendingLookups(), 0);

    m_vm->onQueryWord(QStringLiteral("zzqxv"));
    m_log->dispatchEvent(Event::RES_WORD_LOOKUP_FAIL, AnyValue::of(QStringLiteral("没有找到")));
    QCOMPARE(cards.count(), 1);
    QVERIFY(Toast::lastText().contains("没有找到"));
}

QTEST_MAIN(VideoViewModelTest)
#include "VideoViewModelTest.moc"
