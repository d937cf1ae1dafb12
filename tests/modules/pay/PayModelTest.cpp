// The purchase window's model against scripted service answers: which
// package is offered, what the orders carry, which code is shown when the
// learner changes gateway mid-order, and what is said when nothing can be
// shown.
#include "PayModel.h"
#include "EventIds.h"
#include "EventLog.h"
#include "MembershipRefresh.h"
#include "PayObject.h"
#include "PayView.h"
#include "PayViewModel.h"
#include "QrReader.h"
#include "TestSession.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <memory>

class PayModelTest : public QObject {
    Q_OBJECT
    std::unique_ptr<EventLog> m_log;
    std::unique_ptr<PayViewModel> m_vm;
    std::unique_ptr<PayModel> m_model;

    static QVariantMap package(const char* id, const char* desc, const char* chooseYear) {
        return {{"id", id},      {"desc", desc},   {"amount", QString(id) + "8.00"},
                {"days", "365"}, {"title", "VIP"}, {"choose_year", chooseYear}};
    }
    void answer(int id, const QVariant& data) { m_log->dispatchEvent(id, AnyValue::of(data)); }
    void answerPlans(const QVariantList& packages) {
        answer(Event::RES_VIP_PLANS_OK, QVariantMap{{"package_list", packages}, {"is_vip", "0"}});
    }
    QVariantMap lastOrder() const { return m_log->lastMap(Event::REQ_VIP_ORDER); }
    // A qrcode in the working directory comes before the one beside the client.
    static void breakQrProgram() {
        QFile program("qrcode");
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\necho 'qrcode: cannot write the picture' >&2\nexit 1\n");
        program.close();
        program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
    }

private slots:
    void initTestCase() { testSession(); }
    void init() {
        m_log = std::make_unique<EventLog>();
        m_vm = std::make_unique<PayViewModel>();
        m_model = std::make_unique<PayModel>();
        m_vm->setModel(m_model.get());
        m_model->setViewModel(m_vm.get());
    }
    void cleanup() {
        m_model.reset();
        m_vm.reset();
        m_log.reset();
    }

    void offersTheYearPackageAndOrdersItWithWechat() {
        QCOMPARE(m_log->count(Event::REQ_VIP_PLANS), 1);
        answerPlans(
            {package("1", "1个月", "0"), package("2", "12个月", "1"), package("3", "24个月", "1")});
        QCOMPARE(m_vm->payInfo().toMap().value("desc").toString(), QString("12个月"));
        QCOMPARE(m_model->payMap().value("package_list").toList().size(), 1);
        QCOMPARE(m_log->count(Event::REQ_VIP_ORDER), 1);
        QCOMPARE(lastOrder(), (QVariantMap{{"amount", "28.00"},
                                           {"pid", "2"},
                                           {"days", "365"},
                                           {"type", 3},
                                           {"gateway", "scan"}}));
        QCOMPARE(m_model->payMap().value("payType").toString(), QString("Wechat"));
        // Without a year package the list stays as it came; the first is offered.
        const QVariantList none{package("4", "1个月", "0"), package("5", "3个月", "")};
        QCOMPARE(PayModel::offeredPackages(none), none);
    }

    void gatewayChosenMidOrderGetsTheCode() {
        answerPlans({package("2", "12个月", "1")});
        m_vm->onClickAlipay(); // while the WeChat order is on its way
        QCOMPARE(m_log->count(Event::REQ_VIP_ORDER), 1);
        answer(Event::RES_VIP_ORDER_OK, QVariantMap{{"code_url", "http://pay/wechat-order"}});
        QCOMPARE(m_log->count(Event::REQ_VIP_ORDER), 2);
        QCOMPARE(lastOrder().value("type").toInt(), 1);
        QCOMPARE(m_model->payMap().value("payType").toString(), QString("Alipay"));
        const QString alipayOrder = "http://127.0.0.1:8642/pay/order/2024a1b2c3d4e5f6a7b8";
        answer(Event::RES_VIP_ORDER_OK, QVariantMap{{"code_url", alipayOrder}});
        QTRY_VERIFY_WITH_TIMEOUT(m_vm->qrcode().isValid(), 20000);
        QCOMPARE(m_vm->qrcode().toString(), QDir::currentPath() + "/alipay.png");
        QVERIFY(m_vm->notice().toString().isEmpty());
        QCOMPARE(readQrCode("alipay.png"), alipayOrder);
        QVERIFY(!QFile::exists("wechat.png"));

        // Every click orders again; the old code goes at once.
        m_vm->onClickAlipay();
        QCOMPARE(m_log->count(Event::REQ_VIP_ORDER), 3);
        QVERIFY(!m_vm->qrcode().isValid());
    }

    void failingProgramNoCode() {
        breakQrProgram();
        answerPlans({package("2", "12个月", "1")});
        answer(Event::RES_VIP_ORDER_OK, QVariantMap{{"code_url", "http://pay/order"}});
        QTRY_VERIFY(m_vm->notice().toString().contains("失败"));
        QVERIFY(!m_vm->qrcode().isValid());
        m_vm->onClickWechat();
        m_log->dispatchEvent(Event::RES_VIP_ORDER_FAIL, AnyValue::of(QString("套餐信息不符")));
        QCOMPARE(m_vm->notice().toString(), QString("下单失败：套餐信息不符"));
    }

    void noPackageNoOrder() {
        answerPlans({});
        m_vm->onClickWechat();
        m_vm->onClickAlipay();
        QCOMPARE(m_log->count(Event::REQ_VIP_ORDER), 0);
        QVERIFY(!m_vm->payInfo().isValid());
        QCOMPARE(m_vm->notice().toString(), QString("暂无可开通的会员套餐"));
    }

    void closingLoadsTheMembershipAgain() {
        UserDao* user = testSession();
        user->hasLogin = true;
        user->userID = "7";
        user->isVIP = "0";
        QPointer<PayObject> window = PayObject::open();
        QVERIFY(window->view()->isVisible());
        m_log->dispatchEvent(Event::CLOSE_VIP_PURCHASE, AnyValue());
        QVERIFY(!window->view()->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window);
        QCOMPARE(m_log->count(Event::REQ_VIP_PLANS),
                 3); // this test's model, the window's, the reload
        answer(Event::RES_VIP_PLANS_OK,
               QVariantMap{{"is_vip", "1"}, {"vip_endtime", "2031-05-06"}});
        QCOMPARE(user->isVIP, QString("1"));
        QCOMPARE(user->expireVIP, QString("2031-05-06"));
        // Only one answer is taken; a later one changes nothing.
        answer(Event::RES_VIP_PLANS_OK, QVariantMap{{"is_vip", "0"}});
        QCOMPARE(user->isVIP, QString("1"));
        user->reset();
    }
};

QTEST_MAIN(PayModelTest)
#include "PayModelTest.moc"
