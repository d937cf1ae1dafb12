#include "LoginTestMain.h"
#include "MainObject.h"
#include "MainView.h"
#include "OperateHandler.h"
#include "ServiceFixture.h"

#include <QDir>

// The way a person logs in: the main window's header opens the login window,
// and the header follows login and logout.
class LoginHeaderTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ServiceFixture> service;
    std::unique_ptr<MainObject> main;

    QPushButton* header(const char* name) {
        return main->view()->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    static QList<LoginView*> loginWindows() {
        QList<LoginView*> windows;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* login = qobject_cast<LoginView*>(widget); login && login->isVisible())
                windows << login;
        return windows;
    }

private slots:
    void initTestCase() {
        service = std::make_unique<ServiceFixture>();
        OperateHandler::instance();
        main = std::make_unique<MainObject>();
        main->show(true);
        QVERIFY(header("btnLogin") && header("btnHead"));
    }
    void cleanupTestCase() { main.reset(); }

    void headerButtonOpensTheLoginWindow() {
        QTest::mouseClick(header("btnLogin"), Qt::LeftButton);
        QCOMPARE(loginWindows().size(), 1);
        ServiceFixture::click(loginWindows().first(), "btnClose");
        QVERIFY(QTest::qWaitFor([&] { return loginWindows().isEmpty(); }));
    }

    void headerShowsTheUserAndForgetsHimAtLogout() {
        const QString loggedOut = header("btnLogin")->text();
        QMetaObject::invokeMethod(main->view(), "ClickLogin");
        QCOMPARE(loginWindows().size(), 1);
        QVERIFY(service->passwordLogin(loginWindows().first(), "learner01", "lintavo01"));
        QVERIFY(loginWindows().isEmpty());
        QCOMPARE(header("btnLogin")->text(), QString("小林"));
        QVERIFY(QTest::qWaitFor(
            [&] { return header("btnHead")->styleSheet().contains(QDir::currentPath()); }, 10000));

        QMetaObject::invokeMethod(main->view(), "ClickLogout");
        QVERIFY(!service->record->hasLogin);
        QCOMPARE(service->record->isVIP, QString("0"));
        QVERIFY(service->record->token.isEmpty());
        QCOMPARE(header("btnLogin")->text(), loggedOut);
        QVERIFY(!header("btnHead")->styleSheet().contains(QDir::currentPath()));
        // The service accepted the logout: it was sent with the user's token.
        QVERIFY(QTest::qWaitFor([&] { return service->events.count(Event::RES_LOGOUT_OK) == 1; }));
    }
};

LOGIN_TEST_MAIN(LoginHeaderTest)
#include "LoginHeaderTest.moc"
