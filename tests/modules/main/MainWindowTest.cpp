#include "EventIds.h"
#include "EventLog.h"
#include "HomeObject.h"
#include "ListObject.h"
#include "ListView.h"
#include "MainObject.h"
#include "MainView.h"
#include "MainViewModel.h"
#include "TestSession.h"
#include "VideoObject.h"
#include "VideoViewModel.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

// The main window module as a whole: wiring, page switch and header.
class MainWindowTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<MainObject> main;
    std::unique_ptr<EventLog> log;

    template <typename T> T* child(const char* name) const {
        return main->view()->findChild<T*>(QString::fromLatin1(name));
    }
    void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private slots:
    void init() {
        testSession()->reset();
        log = std::make_unique<EventLog>();
        main = std::make_unique<MainObject>();
        main->show(true);
        QVERIFY(QTest::qWaitForWindowExposed(main->view()));
    }
    void cleanup() {
        main.reset();
        log.reset();
        settle();
    }

    void startsOnTheHomePageWithTheFixedRows() {
        QVERIFY(qobject_cast<HomeObject*>(main->page()));
        QCOMPARE(main->view()->leftRows(), (QStringList{"首页", "我的收藏", "VIP专区"}));
        QCOMPARE(main->view()->windowTitle(), QString("英语Lintavo"));
        QVERIFY(log->ids().contains(Event::REQ_NATURES));
        QVERIFY(log->ids().contains(Event::REQ_HOME_INDEX));
    }

    void naturesAppendToTheLeftList() {
        const QVariantList natures{QVariantMap{{"nature_id", "1"}, {"nature_title", "动画"}},
                                   QVariantMap{{"nature_id", "2"}}};
        log->dispatchEvent(Event::RES_NATURES_OK, AnyValue::of(QVariant(natures)));
        QCOMPARE(main->view()->leftRows(),
                 (QStringList{"首页", "我的收藏", "VIP专区", "动画", ""}));
        QCOMPARE(child<QListView>("listLeft")->currentIndex().row(), 0);
    }

    void pageSwitchBuildsTheModuleOfThePageName() {
        main->viewModel()->setRightPage("AlbumDetailPage");
        auto* list = qobject_cast<ListObject*>(main->page());
        QVERIFY(list);
        QCOMPARE(list->view()->parentWidget(), child<QWidget>("right"));
        main->viewModel()->setRightPage("VideoRecordPage");
        auto* video = qobject_cast<VideoObject*>(main->page());
        QVERIFY(video);
        QCOMPARE(video->videoViewModel()->status().toString(), QString("VIDEO_RECORD"));
        QPointer<ChildObject> previous = main->page();
        main->viewModel()->setRightPage("NoSuchPage");
        QVERIFY(!main->page());
        settle();
        QVERIFY(!previous); // the replaced page is gone after the event loop turn
    }

    void replacedPageNoLongerAnswersEvents() {
        // An album card of the VIP zone opens the album page while the zone's
        // page still waits for its deletion: only the new page asks for details.
        main->viewModel()->setRightPage("MorePage");
        log->dispatchEvent(Event::OPEN_HOME_ITEM,
                           AnyValue::of(QVariant(QVariantMap{{"module", "album"}, {"id", "7"}})));
        QCOMPARE(log->count(Event::REQ_ALBUM_DETAIL), 1);
        QCOMPARE(log->lastMap(Event::REQ_ALBUM_DETAIL).value("albumID").toString(), QString("7"));
    }

    void searchNeedsText() {
        QSignalSpy search(main->view(), &MainView::ClickSearch);
        auto* edit = child<QLineEdit>("editSearch");
        QTest::keyClick(edit, Qt::Key_Return);
        child<QPushButton>("btnSearch")->click();
        QCOMPARE(search.count(), 0);
        QTest::keyClicks(edit, "cat");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(search.count(), 1);
        QCOMPARE(main->viewModel()->rightPage(), QString("SearchPage"));
        QCOMPARE(edit->text(), QString("cat"));
    }

    void maximiseButtonToggles() {
        QSignalSpy max(main->view(), &MainView::ShowMax);
        QSignalSpy normal(main->view(), &MainView::ShowNormal);
        auto* button = child<QPushButton>("btnMax");
        button->click();
        QVERIFY(button->isChecked());
        button->click();
        QCOMPARE(max.count(), 1);
        QCOMPARE(normal.count(), 1);
        QCOMPARE(log->count(Event::WINDOW_MAXIMIZED), 1);
        QCOMPARE(log->count(Event::WINDOW_RESTORED), 1);
    }

    void spaceReachesThePlayerUnlessTyping() {
        main->view()->activateWindow();
        QTRY_VERIFY(main->view()->isActiveWindow());
        auto* edit = child<QLineEdit>("editSearch");
        edit->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(log->count(Event::KEY_SPACE), 0);
        child<QListView>("listLeft")->setFocus(Qt::OtherFocusReason);
        edit->clearFocus();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : main->view(),
                        Qt::Key_Space);
        QCOMPARE(log->count(Event::KEY_SPACE), 1);
    }

    void dubbingHidesNavigation() {
        log->dispatchEvent(Event::DUBBING_STATE, AnyValue::of(QVariant(true)));
        QVERIFY(child<QWidget>("left")->isHidden());
        QVERIFY(child<QWidget>("search")->isHidden());
        QVERIFY(child<QWidget>("btnLogin")->isHidden());
        QVERIFY(!child<QWidget>("logo2")->isHidden());
        QVERIFY(!child<QWidget>("btnMax")->isHidden());
        log->dispatchEvent(Event::DUBBING_STATE, AnyValue::of(QVariant(false)));
        QVERIFY(!child<QWidget>("left")->isHidden());
        QVERIFY(child<QWidget>("logo2")->isHidden());
    }

    void headerFollowsTheSession() {
        testSession()->fillFromLogin({{"uid", "5"}, {"nickname", "Ann"}, {"avatar", ""}});
        log->dispatchEvent(Event::RES_LOGIN_OK, AnyValue::of(QString("{}")));
        auto* name = child<QPushButton>("btnLogin");
        QCOMPARE(name->text(), QString("Ann"));
        QSignalSpy logout(main->view(), &MainView::ClickLogout);
        name->click(); // logged in: the user menu opens
        auto* menuButton = qobject_cast<QPushButton*>([] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* b = w->findChild<QPushButton*>("btnLogout"))
                    return static_cast<QWidget*>(b);
            return static_cast<QWidget*>(nullptr);
        }());
        QVERIFY(menuButton);
        menuButton->click();
        QCOMPARE(logout.count(), 1);
        QCOMPARE(name->text(), QString("请登录"));
        QVERIFY(!testSession()->hasLogin);
        QVERIFY(child<QWidget>("btnHead")->styleSheet().contains(":/images/btnHead.png"));
    }

    void nameIsShownAsWritten() {
        testSession()->fillFromLogin({{"uid", "5"}, {"nickname", "<b>A&B</b>"}, {"avatar", ""}});
        log->dispatchEvent(Event::RES_LOGIN_OK, AnyValue::of(QString("{}")));
        auto* name = child<QPushButton>("btnLogin");
        QCOMPARE(name->text(), QString("<b>A&&B</b>"));
        // "&B" made no shortcut out of the name.
        QSignalSpy clicked(name, &QPushButton::clicked);
        QTest::keyClick(main->view(), Qt::Key_B, Qt::AltModifier);
        QCOMPARE(clicked.count(), 0);
    }

    void teachingHidesTheWindow() {
        log->dispatchEvent(Event::SHOW_TEACHING, AnyValue::of(QVariant()));
        QVERIFY(!main->view()->isVisible());
        log->dispatchEvent(Event::TEACHING_CLOSED, AnyValue());
        QVERIFY(main->view()->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
