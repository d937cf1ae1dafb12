#include "CachedFile.h"
#include "LoginModel.h"
#include "LoginTestMain.h"
#include "LoginViewModel.h"
#include "ServiceFixture.h"

#include <QFileInfo>
#include <QUrlQuery>

// The three logins against the reference service, through the login window
// and the real web service client.
class LoginRoundTripTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ServiceFixture> service;

private slots:
    void initTestCase() { service = std::make_unique<ServiceFixture>(); }

    void cleanup() {
        service->record->reset();
        service->events.events.clear();
    }

    void passwordLoginFillsTheRecord() {
        UserDao* record = service->record;
        QVERIFY(!record->hasLogin);
        QVERIFY(service->passwordLogin(LoginObject::open()->view(), "learner01", "lintavo01"));
        QCOMPARE(record->name, QString("小林"));
        QCOMPARE(record->phone, QString("13800000001"));
        QVERIFY(!record->userID.isEmpty());
        QVERIFY(!record->token.isEmpty());
        QVERIFY(!record->tokenUpload.isEmpty());
        QVERIFY(record->head.startsWith("http"));
        QCOMPARE(record->isVIP, QString("0"));
        QCOMPARE(service->events.count(Event::RES_LOGIN_OK), 1);
    }

    void wrongPasswordShowsTheServiceMessage() {
        QPointer<LoginObject> login = LoginObject::open();
        ServiceFixture::type(login->view(), "ID", "learner01");
        ServiceFixture::type(login->view(), "PW", "wrong123");
        ServiceFixture::click(login->view(), "btnLogin");
        QVERIFY(QTest::qWaitFor([&] { return !ServiceFixture::error(login->view()).isEmpty(); },
                                10000));
        QCOMPARE(ServiceFixture::error(login->view()),
                 QString("账号或密码错误 (wrong account or password)"));
        QVERIFY(!service->record->hasLogin);
        QVERIFY(login->view()->isVisible());
        ServiceFixture::click(login->view(), "btnClose");
        QVERIFY(QTest::qWaitFor([&] { return login.isNull(); }));
    }

    void smsCodeLogin() {
        const QString mobile = "13800000003";
        QPointer<LoginObject> login = LoginObject::open();
        ServiceFixture::click(login->view(), "btnCode");
        ServiceFixture::type(login->view(), "phone", mobile);
        ServiceFixture::click(login->view(), "btnRequestCode");
        QVERIFY(QTest::qWaitFor([&] { return service->events.count(Event::RES_SMS_CODE_OK); }));
        const QString code = ServiceFixture::testEndpoint("/test/sms_code?mobile=" + mobile)
                                 .value("code")
                                 .toString();
        QCOMPARE(code.size(), 4);
        ServiceFixture::type(login->view(), "code", code);
        ServiceFixture::click(login->view(), "btnLogin");
        QVERIFY(QTest::qWaitFor([&] { return login.isNull(); }, 10000));
        QVERIFY(service->record->hasLogin);
        QCOMPARE(service->record->phone, mobile);
        QCOMPARE(service->record->name, QString("王老师"));
    }

    void weChatQrLogin() {
        QPointer<LoginObject> login = LoginObject::open();
        QWidget* qrArea = ServiceFixture::child(login->view(), "QRCode");
        QVERIFY(QTest::qWaitFor([&] { return !qrArea->styleSheet().isEmpty(); }, 30000));

        // The page's image is in the download cache.
        const QUrl page(login->viewModel()->qrcodeUrl().toString());
        const QString codeId = QUrlQuery(page).queryItemValue("code_id");
        QVERIFY(!codeId.isEmpty());
        const QString style = qrArea->styleSheet();
        QVERIFY2(style.startsWith("border-image:url(" + CachedFile::folder() + "/"),
                 qPrintable(style));
        const QString image = style.mid(style.indexOf('(') + 1).chopped(2);
        QVERIFY(QFileInfo(image).size() > 0);
        QVERIFY(login->model()->isPolling());

        // The phone scans and confirms.
        QTest::qWait(2500); // a poll without a scan keeps polling
        QVERIFY(login->model()->isPolling());
        const QString confirm = "/test/wechat_confirm?code_id=" + codeId +
                                "&nickname=" + QUrl::toPercentEncoding("微信小明");
        ServiceFixture::testEndpoint(confirm);
        QVERIFY(QTest::qWaitFor([&] { return login.isNull(); }, 15000));
        QVERIFY(service->record->hasLogin);
        QCOMPARE(service->record->name, QString("微信小明"));
        QVERIFY(!service->record->token.isEmpty());
        QCOMPARE(service->events.count(Event::REQ_LOGIN_WECHAT), 1);
        const QVariantMap sent =
            service->events.last(Event::REQ_LOGIN_WECHAT).as<QVariant>().toMap();
        QVERIFY(
            sent.value("auth_url").toString().contains("/sns/userinfo?lintavo=1&access_token="));
    }
};

LOGIN_TEST_MAIN(LoginRoundTripTest)
#include "LoginRoundTripTest.moc"
