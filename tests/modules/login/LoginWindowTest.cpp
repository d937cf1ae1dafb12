#include "EventIds.h"
#include "EventRecorder.h"
#include "LoginModel.h"
#include "LoginObject.h"
#include "LoginTestMain.h"
#include "LoginView.h"
#include "LoginViewModel.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QWebEngineView>

namespace {
// Records the code button's text whenever a countdown tick is about to run.
class TickWatcher : public QObject {
public:
    explicit TickWatcher(QPushButton* button) : m_button(button) {}
    QStringList texts;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Timer)
            texts << m_button->text();
        return false;
    }

private:
    QPushButton* m_button;
};

QVariant mapOf(std::initializer_list<std::pair<const char*, QVariant>> entries) {
    QVariantMap map;
    for (const auto& entry : entries)
        map.insert(QString::fromLatin1(entry.first), entry.second);
    return map;
}

// Stands in for the desktop's browser.
class Browser : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

bool anyDialogShown() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QDialog*>(widget) && widget->isVisible())
            return true;
    return false;
}
} // namespace

class LoginWindowTest : public QObject {
    Q_OBJECT
private:
    template <typename T> T* child(QWidget* view, const char* name) {
        T* found = view->findChild<T*>(QString::fromLatin1(name));
        Q_ASSERT(found);
        return found;
    }
    void click(QWidget* view, const char* button) {
        QTest::mouseClick(child<QPushButton>(view, button), Qt::LeftButton);
    }
    void type(QWidget* view, const char* edit, const QString& text) {
        child<QLineEdit>(view, edit)->setText(text);
    }
    QString error(QWidget* view) { return child<QLabel>(view, "error")->text(); }

private slots:
    void initTestCase() {
        qputenv("LINTAVO_WECHAT_API_ORIGIN", "http://wx.api");
        qputenv("LINTAVO_WECHAT_WEB_ORIGIN", "http://127.0.0.1:1");
    }

    // The window is the white panel and the mascot over it: the band above
    // the panel is cut away (it showed black without a compositor), and the
    // mascot stays in front of the panel after a click into the form.
    void windowShapeAndMascotInFront() {
        LoginView view;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QRegion shape = view.mask();
        QVERIFY(!shape.contains(QPoint(100, 15)));
        QVERIFY(shape.contains(QPoint(300, 200)));
        int mascotAbove = 0;
        for (int x = 386; x < 386 + 122; ++x)
            mascotAbove += shape.contains(QPoint(x, 25)) ? 1 : 0;
        QVERIFY(mascotAbove > 10);

        QTest::mouseClick(child<QLineEdit>(&view, "ID"), Qt::LeftButton);
        QTest::qWait(200);
        const QImage shown = view.screen()->grabWindow(view.winId()).toImage();
        const QColor body = shown.pixelColor(386 + 61, 10 + 100); // inside the panel
        QVERIFY2(body.red() > 220 && body.green() > 180 && body.blue() < 140,
                 qPrintable(body.name()));
    }

    void accountLoginSendsOnlyCheckedInput() {
        LoginView view;
        QSignalSpy sent(&view, &LoginView::LoginWithAccount);
        QVERIFY(child<QLineEdit>(&view, "ID")->text().isEmpty());
        type(&view, "ID", "abc12");
        type(&view, "PW", "secret1");
        click(&view, "btnLogin");
        QCOMPARE(error(&view), QString("ID格式不对，仅限6-16位字母和数字组合"));
        child<QCheckBox>(&view, "agree")->setChecked(false);
        type(&view, "ID", "abc123");
        click(&view, "btnLogin");
        QCOMPARE(error(&view), QString("请先同意用户协议"));
        QCOMPARE(sent.count(), 0);
        child<QCheckBox>(&view, "agree")->setChecked(true);
        click(&view, "btnLogin");
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.at(0), (QList<QVariant>{"abc123", "secret1"}));
        QVERIFY(error(&view).isEmpty());
    }

    void codePageKeepsAccountAndLogsInByCode() {
        LoginView view;
        QSignalSpy byCode(&view, &LoginView::LoginWithCode);
        QSignalSpy byAccount(&view, &LoginView::LoginWithAccount);
        type(&view, "ID", "typed1");
        click(&view, "btnCode");
        QCOMPARE(child<QStackedWidget>(&view, "sw")->currentIndex(), 1);
        type(&view, "phone", "13800138000");
        type(&view, "code", "12a4");
        click(&view, "btnLogin");
        QCOMPARE(error(&view), QString("验证码格式不对"));
        type(&view, "code", "1234");
        click(&view, "btnLogin");
        QCOMPARE(byCode.count(), 1);
        QCOMPARE(byCode.at(0), (QList<QVariant>{"13800138000", "1234"}));
        QCOMPARE(byAccount.count(), 0);
        click(&view, "btnPW");
        QCOMPARE(child<QStackedWidget>(&view, "sw")->currentIndex(), 0);
        QCOMPARE(child<QLineEdit>(&view, "ID")->text(), QString("typed1"));
    }

    void agreementLinksOpenInTheBrowser() {
        qputenv("LINTAVO_WEB_ORIGIN", "http://m.lintavo.test");
        Browser browser;
        QDesktopServices::setUrlHandler("http", &browser, "open");
        LoginView view;
        click(&view, "agree1");
        click(&view, "agree2");
        QDesktopServices::unsetUrlHandler("http");
        QCOMPARE(browser.opened,
                 (QList<QUrl>{QUrl("http://m.lintavo.test/activity/Feedback/agreement/from/1"),
                              QUrl("http://m.lintavo.test/activity/yqPrivacy")}));
        QVERIFY(child<QCheckBox>(&view, "agree")->isChecked());
    }

    void codeRequestCountsDownOnce() {
        LoginView view;
        view.setCountdownStep(5);
        QPushButton* button = child<QPushButton>(&view, "btnRequestCode");
        QSignalSpy requested(&view, &LoginView::ClickRequestCode);
        click(&view, "btnCode");
        type(&view, "phone", "2380013800");
        click(&view, "btnRequestCode");
        QCOMPARE(error(&view), QString("手机号格式不对"));
        QVERIFY(button->isEnabled());

        TickWatcher watcher(button);
        view.installEventFilter(&watcher);
        type(&view, "phone", "13800138000");
        click(&view, "btnRequestCode");
        QVERIFY(error(&view).isEmpty());
        QVERIFY(!button->isEnabled());
        button->click(); // disabled, and ignored while counting anyway
        QCOMPARE(requested.count(), 1);
        QCOMPARE(requested.at(0).at(0).toString(), QString("13800138000"));
        QVERIFY(QTest::qWaitFor([&] { return button->isEnabled(); }, 5000));

        QStringList expected{"获取验证码"};
        for (int left = 59; left >= 1; --left)
            expected << QString::number(left) + "秒后重发";
        QCOMPARE(watcher.texts, expected);
        QCOMPARE(button->text(), QString("获取验证码"));

        // A second countdown starts again from 60.
        watcher.texts.clear();
        click(&view, "btnRequestCode");
        QCOMPARE(requested.count(), 2);
        QVERIFY(QTest::qWaitFor([&] { return button->isEnabled(); }, 5000));
        QCOMPARE(watcher.texts.size(), 60);
    }

    void brokenQrPagesLeaveTheAreaGrey_data() {
        QTest::addColumn<QString>("url");
        QTest::newRow("no image")
            << "data:text/html,<html><body><p>expired</p><script>alert('x')</script></body></html>";
        QTest::newRow("image not there")
            << "data:text/html,<html><body><img src=\"/connect/qrcode/none.png\"></body></html>";
        QTest::newRow("no page") << "http://127.0.0.1:1/qrconnect";
    }
    void brokenQrPagesLeaveTheAreaGrey() {
        QFETCH(QString, url);
        LoginView view;
        view.show();
        auto* web = view.findChild<QWebEngineView*>("web");
        QVERIFY(web && web->isHidden());
        QSignalSpy loaded(web, &QWebEngineView::loadFinished);
        view.onQRCodeUrlChanged(url);
        QVERIFY(loaded.wait(20000));
        QCOMPARE(web->zoomFactor(), 0.25);
        QTest::qWait(300); // the HTML and a download, if any, would come now
        QVERIFY(child<QWidget>(&view, "QRCode")->styleSheet().isEmpty());
        QVERIFY(!anyDialogShown());
    }

    void modelRunsTheWeChatFlow() {
        EventRecorder others;
        LoginViewModel viewModel;
        LoginModel model;
        model.setViewModel(&viewModel);
        viewModel.setModel(&model);
        model.setPollInterval(10);
        model.start();
        QCOMPARE(others.last(Event::REQ_WECHAT_QR_INFO).as<QVariant>().toMap().value("appID"),
                 QVariant("wxlintavo0000local"));

        others.dispatchEvent(Event::RES_WECHAT_QR_INFO_OK,
                             AnyValue::of(mapOf({{"code_id", "c1"}, {"url", "http://x/qr1"}})));
        QCOMPARE(viewModel.qrcodeUrl(), QVariant("http://x/qr1"));
        QVERIFY(QTest::qWaitFor([&] { return others.count(Event::REQ_WECHAT_CODE) >= 3; }, 2000));
        QCOMPARE(others.last(Event::REQ_WECHAT_CODE).as<QVariant>().toMap().value("codeID"),
                 QVariant("c1"));

        // A new QR code restarts the poll for its own id; failures change nothing.
        others.dispatchEvent(Event::RES_WECHAT_QR_INFO_OK,
                             AnyValue::of(mapOf({{"code_id", "c2"}, {"url", "http://x/qr2"}})));
        others.dispatchEvent(Event::RES_WECHAT_CODE_FAIL, AnyValue::of(QString("no scan yet")));
        const int before = others.count(Event::REQ_WECHAT_CODE);
        QVERIFY(QTest::qWaitFor([&] { return others.count(Event::REQ_WECHAT_CODE) > before; }));
        QCOMPARE(others.last(Event::REQ_WECHAT_CODE).as<QVariant>().toMap().value("codeID"),
                 QVariant("c2"));

        QVariantMap answer{{"status", 1}, {"data", mapOf({{"code", "wxcode"}})}};
        others.dispatchEvent(Event::RES_WECHAT_CODE_OK, AnyValue::of(answer));
        QVERIFY(!model.isPolling());
        const int polls = others.count(Event::REQ_WECHAT_CODE);
        QTest::qWait(60);
        QCOMPARE(others.count(Event::REQ_WECHAT_CODE), polls);
        QCOMPARE(others.last(Event::REQ_WECHAT_USER_INFO).as<QVariant>(),
                 mapOf({{"appID", "wxlintavo0000local"}, {"code", "wxcode"}}));

        others.dispatchEvent(
            Event::RES_WECHAT_USER_INFO_OK,
            AnyValue::of(mapOf({{"access_token", "t1"}, {"openid", "o1"}, {"nickname", "Wu"}})));
        const QVariantMap login = others.last(Event::REQ_LOGIN_WECHAT).as<QVariant>().toMap();
        QCOMPARE(login.value("auth_url").toString(),
                 QString("http://wx.api/sns/userinfo?lintavo=1&access_token=t1&openid=o1"));
        QCOMPARE(login.value("nickname").toString(), QString("Wu"));
        QCOMPARE(login.value("openid").toString(), QString("o1"));
    }

    void windowClosedBySystemReleasesItsModule() {
        EventRecorder service;
        QPointer<LoginObject> login = LoginObject::open();
        login->view()->close();
        QCOMPARE(service.count(Event::CLOSE_LOGIN), 1);
        QVERIFY(!login->model()->isPolling());
        QVERIFY(QTest::qWaitFor([&] { return login.isNull(); }));
    }

    void oneCloseClosesEveryWindowAndLateResultsAreHarmless() {
        EventRecorder service;
        QPointer<LoginObject> first = LoginObject::open();
        QPointer<LoginObject> second = LoginObject::open();
        QCOMPARE(service.count(Event::REQ_WECHAT_QR_INFO), 2);
        first->model()->setPollInterval(10);
        second->model()->setPollInterval(10);
        const QString page = "data:text/html,<img src=\"/connect/qrcode/late.png\">";
        service.dispatchEvent(Event::RES_WECHAT_QR_INFO_OK,
                              AnyValue::of(mapOf({{"code_id", "c9"}, {"url", page}})));
        QVERIFY(first->model()->isPolling() && second->model()->isPolling());
        QVERIFY(first->view()->isVisible() && second->view()->isVisible());

        // The service client closes the windows with the login answer.
        service.dispatchEvent(Event::CLOSE_LOGIN, AnyValue::of(QString("{\"status\":1}")));
        for (LoginObject* login : {first.data(), second.data()}) {
            QVERIFY(!login->view()->isVisible());
            QVERIFY(!login->model()->isPolling());
        }
        const int polls = service.count(Event::REQ_WECHAT_CODE);
        service.dispatchEvent(Event::RES_WECHAT_QR_INFO_OK,
                              AnyValue::of(mapOf({{"code_id", "c10"}, {"url", page}})));
        QVERIFY(!first->model()->isPolling());
        QVERIFY(QTest::qWaitFor([&] { return first.isNull() && second.isNull(); }));
        QTest::qWait(50);
        QCOMPARE(service.count(Event::REQ_WECHAT_CODE), polls);

        // Answers still on their way find no window.
        service.dispatchEvent(Event::RES_LOGIN_FAIL, AnyValue::of(QString("late")));
        service.dispatchEvent(Event::RES_WECHAT_CODE_OK, AnyValue::of(QVariantMap{}));
        QCOMPARE(service.count(Event::REQ_WECHAT_USER_INFO), 0);
    }
};

LOGIN_TEST_MAIN(LoginWindowTest)
#include "LoginWindowTest.moc"
