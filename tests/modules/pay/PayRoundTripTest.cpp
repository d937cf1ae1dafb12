// The purchase window against the reference service, opened the way the
// video page opens it: the year package, the WeChat code, the Alipay code,
// payment on the "phone" and the membership right after closing.
#include "AppFonts.h"
#include "EventIds.h"
#include "EventLog.h"
#include "HttpHandler.h"
#include "OperateHandler.h"
#include "PayView.h"
#include "QrReader.h"
#include "TestSession.h"
#include "WindowTestHelpers.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QtTest>

namespace {
constexpr int ServiceMs = 20000;

PayView* purchaseWindow() {
    const QList<PayView*> windows = visibleWindows<PayView>();
    return windows.isEmpty() ? nullptr : windows.first();
}
} // namespace

class PayRoundTripTest : public QObject {
    Q_OBJECT
    EventLog m_log;

    QString lastCodeUrl() const {
        return m_log.lastMap(Event::RES_VIP_ORDER_OK).value("code_url").toString();
    }
    bool showsCode(PayView* window) const {
        auto* code = child<QLabel>(window, "labelQRCode");
        return code->isVisible() && !code->pixmap(Qt::ReturnByValue).isNull();
    }

private slots:
    void initTestCase() {
        AppFonts::install();
        testSession();
        HttpHandler::instance();
        OperateHandler::instance();
        QVERIFY(passwordLogin(m_log, testSession(), "learner01", "lintavo01"));
    }

    void payByQrCodeAndBecomeAMember() {
        QCOMPARE(testSession()->isVIP, QString("0"));
        m_log.dispatchEvent(Event::SHOW_VIP_PURCHASE, AnyValue());
        PayView* window = purchaseWindow();
        QVERIFY(window);
        QCOMPARE(child<QLabel>(window, "nick")->text(), testSession()->name);

        QTRY_VERIFY_WITH_TIMEOUT(showsCode(window), ServiceMs);
        const QVariantMap plans = m_log.lastMap(Event::RES_VIP_PLANS_OK);
        QVariantMap year;
        for (const QVariant& p : plans.value("package_list").toList())
            if (p.toMap().value("choose_year").toString() == "1")
                year = p.toMap();
        QCOMPARE(child<QLabel>(window, "duration")->text(), year.value("desc").toString());
        QCOMPARE(child<QLabel>(window, "price")->text(), year.value("amount").toString());
        const QString wechatOrder = lastCodeUrl();
        QCOMPARE(readQrCode("wechat.png"), wechatOrder);
        QTest::qWait(300);
        const QString shots = qEnvironmentVariable("LINTAVO_BIN_DIR") + "/../test-artifacts/pay";
        QDir().mkpath(shots);
        window->grab().save(shots + "/wechat.png");

        QTest::mouseClick(child<QPushButton>(window, "btnAlipay"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(window, "payType")->text(), QString("支付宝扫码支付"));
        QTRY_VERIFY_WITH_TIMEOUT(m_log.count(Event::RES_VIP_ORDER_OK) == 2 && showsCode(window),
                                 ServiceMs);
        QVERIFY(lastCodeUrl() != wechatOrder);
        QCOMPARE(readQrCode("alipay.png"), lastCodeUrl());

        // The learner scans and pays on the phone, then closes the window.
        QNetworkAccessManager phone;
        QNetworkReply* paid = phone.get(QNetworkRequest(QUrl(lastCodeUrl())));
        QTRY_VERIFY_WITH_TIMEOUT(paid->isFinished(), ServiceMs);
        QCOMPARE(paid->error(), QNetworkReply::NoError);
        QTest::mouseClick(child<QPushButton>(window, "btnClose"), Qt::LeftButton);
        QTRY_VERIFY(!purchaseWindow());
        QTRY_COMPARE_WITH_TIMEOUT(testSession()->isVIP, QString("1"), ServiceMs);
        QVERIFY(!testSession()->expireVIP.isEmpty());
    }
};

QTEST_MAIN(PayRoundTripTest)
#include "PayRoundTripTest.moc"
