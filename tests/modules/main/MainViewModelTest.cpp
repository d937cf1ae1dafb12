#include "MainViewModel.h"
#include "EventIds.h"
#include "EventLog.h"
#include "MainModel.h"
#include "TestSession.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

class MainViewModelTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<MainViewModel> vm;
    std::unique_ptr<MainModel> model;
    std::unique_ptr<EventLog> log;

    void giveNatures() {
        const QVariantList natures{QVariantMap{{"nature_id", "7"}, {"nature_title", "动画"}},
                                   QVariantMap{{"nature_id", "9"}, {"nature_title", "电影"}}};
        log->dispatchEvent(Event::RES_NATURES_OK, AnyValue::of(QVariant(natures)));
    }
    void login(const QString& name) {
        testSession()->fillFromLogin(
            {{"uid", "5"}, {"nickname", name}, {"avatar", "http://h/a.png"}});
        log->dispatchEvent(Event::RES_LOGIN_OK, AnyValue::of(QString("{}")));
    }

private slots:
    void init() {
        testSession()->reset();
        vm = std::make_unique<MainViewModel>();
        model = std::make_unique<MainModel>();
        vm->setModel(model.get());
        model->setViewModel(vm.get());
        log = std::make_unique<EventLog>();
        vm->start();
        model->start();
    }
    void cleanup() {
        log.reset();
        vm.reset();
        model.reset();
    }

    void startOpensHomeAndAsksForNavigation() {
        QCOMPARE(vm->rightPage(), QString("HomePage"));
        QCOMPARE(log->ids(), (QList<int>{Event::REQ_NATURES, Event::REQ_CATEGORIES}));
        QSignalSpy left(vm.get(), &MainViewModel::LeftListChanged);
        giveNatures();
        giveNatures(); // announced again even when equal
        QCOMPARE(left.count(), 2);
        QCOMPARE(model->natures().toList().size(), 2);
    }

    void pageSwitchRules() {
        giveNatures();
        QSignalSpy pages(vm.get(), &MainViewModel::RightPageChanged);
        vm->onClickLeftList(0); // home while home is shown: nothing
        QCOMPARE(pages.count(), 0);
        log->clear();
        vm->onClickLeftList(3);
        vm->onClickLeftList(3); // a nature row always rebuilds its page
        QCOMPARE(pages.count(), 4);
        QCOMPARE(pages.at(0).at(0).toString(), QString());
        QCOMPARE(vm->rightPage(), QString("LeftPage"));
        QCOMPARE(log->count(Event::REQ_COURSE_LIST), 2);
        QCOMPARE(log->lastMap(Event::REQ_COURSE_LIST),
                 (QVariantMap{{"natureID", "7"}, {"categoryID", "0"}}));
        log->clear();
        vm->onClickLeftList(9); // beyond the natures: an empty page, no request
        QCOMPARE(vm->rightPage(), QString("LeftPage"));
        QCOMPARE(log->count(Event::REQ_COURSE_LIST), 0);
        vm->onClickLeftList(2);
        QCOMPARE(vm->rightPage(), QString("MorePage"));
        QCOMPARE(log->lastMap(Event::REQ_ALBUM_LIST), (QVariantMap{{"categoryID", "vip_album"}}));
    }

    void naturesThatFailedAreAskedForAgain() {
        log->dispatchEvent(Event::RES_NATURES_FAIL, AnyValue::of(QString("网络连接失败")));
        log->clear();
        vm->onClickLeftList(0);
        vm->onClickLeftList(2); // one request at a time
        QCOMPARE(log->count(Event::REQ_NATURES), 1);
        giveNatures();
        vm->onClickLeftList(0);
        QCOMPARE(log->count(Event::REQ_NATURES), 1);
    }

    void favouritesWaitForLogin() {
        vm->onClickLeftList(1);
        QCOMPARE(log->count(Event::SHOW_LOGIN), 1);
        QCOMPARE(vm->rightPage(), QString("HomePage"));
        QVERIFY(vm->favoritePending());
        login("Ann");
        QCOMPARE(vm->rightPage(), QString("FavoritePage"));
        QCOMPARE(vm->userInfo().toMap().value("name").toString(), QString("Ann"));
        // Logged in: the row opens the page at once; another row ends the wait.
        vm->onClickLeftList(0);
        QVERIFY(!vm->favoritePending());
        vm->onClickLeftList(1);
        QCOMPARE(vm->rightPage(), QString("FavoritePage"));
        QCOMPARE(log->count(Event::SHOW_LOGIN), 1);
    }

    void logoutResetsSessionAndHeader() {
        login("Ann");
        vm->onClickLeftList(1);
        vm->onClickLeftList(0);
        vm->onClickLeftList(1);
        QCOMPARE(vm->rightPage(), QString("FavoritePage"));
        vm->setRightPage("HomePage");
        vm->onClickLogout();
        QVERIFY(!testSession()->hasLogin);
        QCOMPARE(testSession()->isVIP, QString("0"));
        QVERIFY(vm->userInfo().toMap().isEmpty());
        // The last row clicked was "我的收藏": the favourites page comes back.
        QCOMPARE(vm->rightPage(), QString("FavoritePage"));
    }

    void loginButtonOnlyWhenLoggedOut() {
        vm->onClickLogin();
        QCOMPARE(log->count(Event::SHOW_LOGIN), 1);
        login("Ann");
        vm->onClickLogin();
        QCOMPARE(log->count(Event::SHOW_LOGIN), 1);
    }

    void everySearchBuildsAFreshPage() {
        QSignalSpy pages(vm.get(), &MainViewModel::RightPageChanged);
        QSignalSpy keyword(vm.get(), &MainViewModel::KeywordChanged);
        log->clear();
        vm->onClickSearch("cat");
        vm->onClickHotSearch(QVariant("cat"));
        QCOMPARE(pages.count(), 2);
        QCOMPARE(keyword.count(), 2);
        QCOMPARE(log->count(Event::REQ_SEARCH_COURSES), 2);
        QCOMPARE(log->count(Event::KEYWORD_CHANGED), 2);
        QCOMPARE(log->lastMap(Event::REQ_SEARCH_COURSES), (QVariantMap{{"keyword", "cat"}}));
        log->dispatchEvent(Event::SEARCH_ALBUMS, AnyValue());
        QCOMPARE(log->lastMap(Event::REQ_SEARCH_ALBUMS), (QVariantMap{{"keyword", "cat"}}));
    }

    void openItemRule_data() {
        QTest::addColumn<QVariantMap>("item");
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("request");
        QTest::newRow("clip with address")
            << QVariantMap{{"module", "course"}, {"id", "3"}, {"video", "http://v/1.mp4"}}
            << "VideoDetailPage" << int(Event::OPEN_VIDEO);
        QTest::newRow("clip without") << QVariantMap{{"module", "course"}, {"id", "3"}}
                                      << "VideoDetailPage" << int(Event::REQ_COURSE_DETAIL);
        QTest::newRow("upper-case HTTP")
            << QVariantMap{{"module", "course"}, {"id", "3"}, {"video", "HTTP://v"}}
            << "VideoDetailPage" << int(Event::REQ_COURSE_DETAIL);
        QTest::newRow("album") << QVariantMap{{"module", "album"}, {"id", "4"}} << "AlbumDetailPage"
                               << int(Event::OPEN_ALBUM);
        QTest::newRow("blue clip") << QVariantMap{{"module", "blue_course"}, {"id", "3"}}
                                   << "VideoDetailPage" << int(Event::REQ_COURSE_DETAIL);
    }
    void openItemRule() {
        QFETCH(QVariantMap, item);
        QFETCH(QString, page);
        QFETCH(int, request);
        QSignalSpy pages(vm.get(), &MainViewModel::RightPageChanged);
        log->clear();
        log->dispatchEvent(Event::OPEN_HOME_ITEM, AnyValue::of(QVariant(item)));
        log->dispatchEvent(Event::OPEN_HOME_ITEM, AnyValue::of(QVariant(item)));
        QCOMPARE(pages.count(), 2); // the same item twice: two fresh pages
        QCOMPARE(vm->rightPage(), page);
        QCOMPARE(log->count(request), 2);
        if (request == Event::REQ_COURSE_DETAIL)
            QCOMPARE(log->lastMap(request), (QVariantMap{{"courseID", "3"}}));
    }

    void clipDetailsOpenTheClip() {
        const QVariantMap clip{{"course_id", "3"}, {"video", "http://v/1.mp4"}};
        log->dispatchEvent(Event::RES_COURSE_DETAIL_OK, AnyValue::of(QVariant(clip)));
        QCOMPARE(log->lastMap(Event::OPEN_VIDEO), clip);
    }

    void loadMoreAsksForTheNextPage() {
        giveNatures();
        log->dispatchEvent(Event::RELOAD_LEFT_LIST, AnyValue()); // home: nothing to continue
        QCOMPARE(log->count(Event::REQ_COURSE_LIST) + log->count(Event::REQ_ALBUM_LIST), 0);
        vm->onClickLeftList(4);
        log->dispatchEvent(Event::RELOAD_LEFT_LIST, AnyValue());
        log->dispatchEvent(Event::RELOAD_LEFT_LIST, AnyValue());
        QCOMPARE(log->count(Event::REQ_COURSE_LIST), 3);
        QCOMPARE(log->lastMap(Event::REQ_COURSE_LIST),
                 (QVariantMap{{"natureID", "9"}, {"categoryID", "0"}, {"start", "100"}}));
        // A filtered first page restarts the paging with its filters.
        log->dispatchEvent(Event::REQ_COURSE_LIST,
                           AnyValue::of(QVariant(QVariantMap{{"natureID", "9"}, {"sort", "hot"}})));
        log->dispatchEvent(Event::RELOAD_LEFT_LIST, AnyValue());
        QCOMPARE(log->lastMap(Event::REQ_COURSE_LIST),
                 (QVariantMap{{"natureID", "9"}, {"sort", "hot"}, {"start", "50"}}));
        vm->onClickLeftList(2);
        log->dispatchEvent(Event::RELOAD_LEFT_LIST, AnyValue());
        QCOMPARE(log->lastMap(Event::REQ_ALBUM_LIST),
                 (QVariantMap{{"categoryID", "vip_album"}, {"start", "50"}}));
        // Search pages are single pages.
        vm->onClickSearch("cat");
        log->clear();
        log->dispatchEvent(Event::RELOAD_LEFT_LIST, AnyValue());
        QCOMPARE(log->ids(), QList<int>{Event::RELOAD_LEFT_LIST});
    }

    void backFromTheVideoPageRepeatsTheLastRow() {
        giveNatures();
        vm->onClickLeftList(3);
        log->dispatchEvent(Event::OPEN_HOME_ITEM,
                           AnyValue::of(QVariant(QVariantMap{{"module", "course"}, {"id", "1"}})));
        log->clear();
        log->dispatchEvent(Event::LEAVE_VIDEO_PAGE, AnyValue::of(QVariant(true)));
        QCOMPARE(vm->rightPage(), QString("LeftPage"));
        QCOMPARE(log->count(Event::REQ_COURSE_LIST), 1);
    }

    void windowAndKeyEvents() {
        log->clear();
        vm->onShowMax();
        vm->onShowNormal();
        vm->onClickSpace();
        vm->onClickPrev();
        vm->onClickNext();
        QCOMPARE(log->ids(), (QList<int>{Event::WINDOW_MAXIMIZED, Event::WINDOW_RESTORED,
                                         Event::KEY_SPACE, Event::NAV_BACK, Event::NAV_FORWARD}));
        QSignalSpy dubbing(vm.get(), &MainViewModel::PeiYinStatusChanged);
        log->dispatchEvent(Event::DUBBING_STATE, AnyValue::of(QVariant(true)));
        log->dispatchEvent(Event::DUBBING_STATE, AnyValue::of(QVariant(true)));
        QCOMPARE(dubbing.count(), 1);
        QVERIFY(vm->peiyinStatus());
    }
};

QTEST_GUILESS_MAIN(MainViewModelTest)
#include "MainViewModelTest.moc"
