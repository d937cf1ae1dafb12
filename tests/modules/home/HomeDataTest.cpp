#include "EventIds.h"
#include "EventLog.h"
#include "HomeModel.h"
#include "HomeObject.h"
#include "HomeView.h"
#include "HomeViewModel.h"
#include "TestSession.h"

#include <QJsonDocument>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {
// JSON written with single quotes, for readable literals.
QString json(const char* text) {
    return QString::fromUtf8(text).replace('\'', '"');
}
} // namespace

// The home page's data side: unpacking the answers and turning clicks into
// navigation events and requests.
class HomeDataTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<HomeViewModel> vm;
    std::unique_ptr<HomeModel> model;
    std::unique_ptr<EventLog> log;

    void answer(int id, const QString& body) { log->dispatchEvent(id, AnyValue::of(body)); }

private slots:
    void init() {
        testSession();
        vm = std::make_unique<HomeViewModel>();
        model = std::make_unique<HomeModel>();
        vm->setModel(model.get());
        model->setViewModel(vm.get());
        log = std::make_unique<EventLog>();
        vm->start();
    }
    void cleanup() {
        log.reset();
        vm.reset();
        model.reset();
    }

    void asksForTheThreePartsInOrder() {
        QCOMPARE(log->ids(), (QList<int>{Event::REQ_HOME_BANNER, Event::REQ_HOT_SEARCH,
                                         Event::REQ_HOME_INDEX}));
    }

    // A home page whose parts did not come says so and asks again on demand.
    void failedPageSaysSoAndReloads() {
        QObject main;
        HomeObject page(&main);
        HomeView* view = page.homeView();
        QCOMPARE(view->noticeText(), QString());
        log->dispatchEvent(Event::RES_HOME_INDEX_FAIL,
                           AnyValue::of(QString("网络连接失败，请检查网络后重试")));
        QCOMPARE(view->noticeText(), QString("网络连接失败，请检查网络后重试"));
        log->dispatchEvent(Event::RES_HOT_SEARCH_FAIL, AnyValue::of(QString()));
        QCOMPARE(view->noticeText(), QString("加载失败，请稍后重试"));
        log->clear();
        view->findChild<QPushButton*>("btnReload")->click();
        QCOMPARE(view->noticeText(), QString());
        QCOMPARE(log->ids(), (QList<int>{Event::REQ_HOME_BANNER, Event::REQ_HOT_SEARCH,
                                         Event::REQ_HOME_INDEX}));
    }

    void failedBannerLeavesOnlyTheCarouselEmpty() {
        QSignalSpy banner(vm.get(), &HomeViewModel::BannerDataChanged);
        answer(Event::RES_HOME_BANNER_OK, json("{'status':0,'data':[{'pic':'x'}]}"));
        answer(Event::RES_HOT_SEARCH_OK,
               json("{'status':'1','data':{'video':[{'keyword':'cat'}]}}"));
        log->dispatchEvent(
            Event::RES_HOME_INDEX_OK,
            AnyValue::of(QVariant(QVariantMap{{"list", QVariantList{QVariantMap{{"id", "1"}}}}})));
        QCOMPARE(banner.count(), 0);
        QVERIFY(!vm->bannerData().isValid());
        const QJsonObject hot = QJsonDocument::fromJson(vm->hotData().toByteArray()).object();
        QCOMPARE(hot.value("video").toArray().at(0).toObject().value("keyword").toString(),
                 QString("cat"));
        QCOMPARE(vm->listData().toList().size(), 1);
    }

    void bannerIsTheDataArrayAsText() {
        answer(Event::RES_HOME_BANNER_OK,
               json("{'status':1,'data':[{'pic':'http://p/1.jpg','type':'course'}]}"));
        const QJsonDocument doc = QJsonDocument::fromJson(vm->bannerData().toByteArray());
        QVERIFY(doc.isArray());
        QCOMPARE(doc.array().at(0).toObject().value("type").toString(), QString("course"));
        const QVariant before = vm->bannerData();
        answer(Event::RES_HOME_BANNER_OK, "<html>oops</html>");
        QCOMPARE(vm->bannerData(), before);
    }

    void refreshedSectionIsPassedOn() {
        QSignalSpy item(vm.get(), &HomeViewModel::ListItemDataChanged);
        answer(Event::RES_HOME_REFRESH_OK,
               json("{'status':1,'data':{'id':'4','module':'course'}}"));
        answer(Event::RES_HOME_REFRESH_OK, json("{'status':2,'data':{'id':'4'}}"));
        QCOMPARE(item.count(), 1);
        QCOMPARE(item.at(0).at(0).toMap().value("id").toString(), QString("4"));
    }

    void moreOpensTheListAndAsksByModule_data() {
        QTest::addColumn<QString>("module");
        QTest::addColumn<int>("request");
        QTest::newRow("clips") << "course" << int(Event::REQ_COURSE_LIST);
        QTest::newRow("albums") << "album" << int(Event::REQ_ALBUM_LIST);
        QTest::newRow("other") << "limit_free" << 0;
    }
    void moreOpensTheListAndAsksByModule() {
        QFETCH(QString, module);
        QFETCH(int, request);
        log->clear();
        vm->onClickListItemMore(QVariantMap{{"id", "12"}, {"module", module}, {"title", "T"}});
        QCOMPARE(log->ids().first(), int(Event::OPEN_MORE_PAGE));
        QCOMPARE(log->ids().size(), request ? 2 : 1);
        if (request)
            QCOMPARE(log->lastMap(request), (QVariantMap{{"natureID", "0"}, {"categoryID", "12"}}));
    }

    void clicksBecomeEvents() {
        log->clear();
        vm->onClickListItemRefresh("album", "7");
        QCOMPARE(log->lastMap(Event::REQ_HOME_REFRESH),
                 (QVariantMap{{"module", "album"}, {"id", "7"}, {"num", "10"}}));
        vm->onClickBanner(QVariantMap{{"type", "album"}, {"id", "3"}, {"img", "/x"}});
        const QVariantMap opened = log->lastMap(Event::OPEN_HOME_ITEM);
        QCOMPARE(opened.value("module").toString(), QString("album"));
        QCOMPARE(opened.value("id").toString(), QString("3"));
        const QVariantMap card{{"module", "course"}, {"id", "8"}, {"type", "video"}};
        vm->onClickVideoItem(card);
        QCOMPARE(log->lastMap(Event::OPEN_HOME_ITEM), card);
        vm->onClickHotSearch("dog");
        vm->onClickHotSearch("dog");
        QCOMPARE(log->count(Event::SEARCH_KEYWORD), 2);
    }

    void windowStateReachesTheView() {
        QSignalSpy max(vm.get(), &HomeViewModel::ShowMax);
        QSignalSpy normal(vm.get(), &HomeViewModel::ShowNormal);
        log->dispatchEvent(Event::WINDOW_MAXIMIZED, AnyValue());
        log->dispatchEvent(Event::WINDOW_RESTORED, AnyValue());
        QCOMPARE(max.count(), 1);
        QCOMPARE(normal.count(), 1);
    }
};

QTEST_MAIN(HomeDataTest)
#include "HomeDataTest.moc"
