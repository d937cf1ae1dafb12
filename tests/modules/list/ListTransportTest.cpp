// A list page with the web service client and a loopback listener that can
// hold answers back: answers of requests the page has moved on from are
// dropped, and a list that failed says so.
#include "EventIds.h"
#include "Facade.h"
#include "HttpHandler.h"
#include "ListObject.h"
#include "ListView.h"
#include "ListViewModel.h"
#include "Mediator.h"
#include "ScriptedApi.h"
#include "TestSession.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
const QByteArray kOneEntry = R"({"status":1,"data":[{"id":"1","title":"A","is_vip":"0"}]})";

// Stands for the main window, which sends the searches the tabs ask for.
class SearchStandIn : public Mediator {
public:
    void onEvent(int id, const AnyValue&) override {
        const QVariantMap keyword{{"keyword", "cat"}};
        if (id == Event::SEARCH_VIDEOS)
            dispatchEvent(Event::REQ_SEARCH_COURSES, AnyValue::of(keyword));
        else if (id == Event::SEARCH_ALBUMS)
            dispatchEvent(Event::REQ_SEARCH_ALBUMS, AnyValue::of(keyword));
    }
};
} // namespace

class ListTransportTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QDir::setCurrent(QDir::tempPath());
        QVERIFY(m_api.isListening());
        qputenv("LINTAVO_API_ORIGIN", m_api.origin().toUtf8());
        testSession();
        HttpHandler::instance(); // before every page, as at start-up
        m_main = std::make_unique<SearchStandIn>();
    }
    void init() {
        m_api.clear();
        m_api.setAnswer(kOneEntry);
        m_api.setDropping(false);
        m_api.setHolding(false);
    }
    void cleanup() { m_page.reset(); }

    void lateAnswerAfterATabChangeIsDropped() {
        ListView* view = open("LIST_SEARCH");
        m_api.setHolding(true); // the clip search answers last
        view->findChild<QPushButton*>("btnVideo")->click();
        QTRY_COMPARE(m_api.requests().size(), 1);
        m_api.setHolding(false);
        view->findChild<QPushButton*>("btnAlbum")->click();
        QTRY_COMPARE(view->cardCount(), 1);
        m_api.releaseHeld();
        QTest::qWait(500); // the clip answer arrives and must change nothing
        QCOMPARE(view->cardCount(), 1);
        QCOMPARE(view->cards().first().toMap().value("module").toString(), QString("album"));
    }

    void lateAnswerOfAnotherSortIsDropped() {
        ListView* view = open("LIST_VIDEO");
        m_api.setHolding(true);
        view->findChild<QPushButton*>("btnHot")->click();
        QTRY_COMPARE(m_api.requests().size(), 1);
        m_api.setHolding(false);
        m_api.setAnswer(R"({"status":1,"data":[{"id":"2","title":"B"}]})");
        view->findChild<QPushButton*>("btnNew")->click();
        QTRY_COMPARE(view->cardCount(), 1);
        m_api.releaseHeld();
        QTest::qWait(500);
        QCOMPARE(view->cardCount(), 1);
        QCOMPARE(view->cards().first().toMap().value("id").toString(), QString("2"));
    }

    void failedListSaysSo() {
        ListView* view = open("LIST_VIDEO");
        m_api.setDropping(true); // the service cannot be reached
        view->findChild<QPushButton*>("btnHot")->click();
        QTRY_VERIFY(view->emptyText() != QString("正在加载中..."));
        QCOMPARE(view->emptyText(), QString("网络连接失败，请检查网络后重试"));
        QVERIFY(!view->showsCards());
        // Asking again once the service is back fills the page.
        m_api.setDropping(false);
        view->findChild<QPushButton*>("btnNew")->click();
        QTRY_COMPARE(view->cardCount(), 1);
        QVERIFY(view->showsCards());
    }

    // The VIP zone sorts its own albums; a sort after its list failed asks
    // for the list again instead of waiting for it.
    void sortAfterAFailedAlbumListAsksAgain() {
        ListView* view = open("LIST_MORE");
        m_api.setDropping(true);
        m_main->dispatchEvent(Event::REQ_ALBUM_LIST,
                              AnyValue::of(QVariant(QVariantMap{{"categoryID", "vip_album"}})));
        QTRY_COMPARE(view->emptyText(), QString("网络连接失败，请检查网络后重试"));
        m_api.setDropping(false);
        m_api.clear();
        view->findChild<QPushButton*>("btnHot")->click();
        QTRY_COMPARE(view->cardCount(), 1);
        QCOMPARE(m_api.requests().size(), 1);
        QVERIFY(m_api.requests().first().target.contains("category_id=vip_album"));
        // With the list there, sorting asks for nothing.
        view->findChild<QPushButton*>("btnNew")->click();
        QTest::qWait(300);
        QCOMPARE(m_api.requests().size(), 1);
        QCOMPARE(view->cardCount(), 1);
    }

    void refusedListShowsTheServicesMessage() {
        ListView* view = open("LIST_VIDEO");
        m_api.setAnswer(R"({"status":0,"msg":"参数错误"})");
        view->findChild<QPushButton*>("btnHot")->click();
        QTRY_COMPARE(view->emptyText(), QString("参数错误"));
    }

private:
    ListView* open(const QString& mode) {
        m_page = std::make_unique<ListObject>(&m_parent);
        m_page->listViewModel()->setMode(mode);
        return m_page->listView();
    }

    ScriptedApi m_api;
    QObject m_parent;
    std::unique_ptr<SearchStandIn> m_main;
    std::unique_ptr<ListObject> m_page;
};

QTEST_MAIN(ListTransportTest)
#include "ListTransportTest.moc"
