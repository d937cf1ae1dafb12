#include "Application.h"
#include "EventIds.h"
#include "Facade.h"
#include "MainObject.h"
#include "MainView.h"

#include <QApplication>
#include <QPointer>
#include <QtTest>

class ApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void startOpensTheMainWindowOnce() {
        Application app;
        app.start();
        QVERIFY(app.userDao);
        QVERIFY(!app.userDao->hasLogin);
        QCOMPARE(app.currentViewType(), int(VIEW_MAIN));
        QPointer<IAppObject> main = app.currentModule();
        QVERIFY(main);
        auto* mainObject = qobject_cast<MainObject*>(main.data());
        QVERIFY(mainObject && mainObject->view()->isVisible());

        // The same view type again changes nothing.
        app.dispatchEvent(Event::SHOW_VIEW, AnyValue::of(VIEW_MAIN));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(app.currentModule(), main.data());

        // Another view type closes the main window and opens nothing.
        app.dispatchEvent(Event::SHOW_VIEW, AnyValue::of(VIEW_NONE));
        QVERIFY(!app.currentModule());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main);
        Facade::instance()->clearDaos();
    }

    void teachingHidesAndRestoresTheMainWindow() {
        MainObject main;
        main.show(true);
        main.dispatchEvent(Event::SHOW_TEACHING, AnyValue::of(QVariant()));
        QVERIFY(!main.view()->isVisible());
        main.dispatchEvent(Event::TEACHING_CLOSED, AnyValue());
        QVERIFY(main.view()->isVisible());
    }

    void quitReleasesTheModuleAndEndsTheLoop() {
        Application app;
        app.start();
        QPointer<IAppObject> main = app.currentModule();
        bool loopEnded = false;
        QTimer::singleShot(0, &app, [&] { app.dispatchEvent(Event::QUIT_APP, AnyValue()); });
        QTimer::singleShot(5000, qApp, [] { qApp->exit(1); }); // guard
        loopEnded = QApplication::exec() == 0;
        QVERIFY(loopEnded);
        QVERIFY(!app.currentModule());
        QVERIFY(Facade::instance()->daos().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main);
    }

    void wrongValueTypeIsAProgrammingError() {
        Application app;
        using CString = const char*;
        QVERIFY_EXCEPTION_THROWN(app.onEvent(Event::SHOW_VIEW, AnyValue::of(QString("1"))),
                                 CString);
    }
};

QTEST_MAIN(ApplicationTest)
#include "ApplicationTest.moc"
