#include "PayModel.h"

#include "EventIds.h"
#include "PayViewModel.h"
#include "QrCodeMaker.h"

#include <QDebug>
#include <QDir>

namespace {
const QString kPackageList = QStringLiteral("package_list");
}

PayModel::PayModel(QObject* parent) : Mediator(parent), m_qrCode(new QrCodeMaker(this)) {
    onViewInvalidated();
    connect(m_qrCode, &QrCodeMaker::made, this, [this](const QString& path) {
        showNotice(QString());
        if (m_viewModel)
            m_viewModel->onUpdateQRCode(path);
    });
    connect(m_qrCode, &QrCodeMaker::failed, this, [this](const QString& reason) {
        qDebug() << "qrcode:" << reason;
        showNotice(QStringLiteral("支付二维码生成失败，请重新选择支付方式重试"));
    });
    dispatchEvent(Event::REQ_VIP_PLANS, AnyValue());
}

PayModel::~PayModel() = default;

QVariantList PayModel::offeredPackages(const QVariantList& packages) {
    for (const QVariant& package : packages)
        if (package.toMap().value(QStringLiteral("choose_year")).toString() == QLatin1String("1"))
            return {package};
    return packages;
}

QVariantMap PayModel::orderValue(const QVariantMap& package, Gateway gateway) {
    return {{QStringLiteral("amount"), package.value(QStringLiteral("amount"))},
            {QStringLiteral("pid"), package.value(QStringLiteral("id"))},
            {QStringLiteral("days"), package.value(QStringLiteral("days"))},
            {QStringLiteral("type"), gateway == Wechat ? 3 : 1},
            {QStringLiteral("gateway"), QStringLiteral("scan")}};
}

QString PayModel::payTypeName(Gateway gateway) {
    return gateway == Wechat ? QStringLiteral("Wechat") : QStringLiteral("Alipay");
}

QString PayModel::picturePath(Gateway gateway) {
    return QDir::currentPath() +
           (gateway == Wechat ? QStringLiteral("/wechat.png") : QStringLiteral("/alipay.png"));
}

void PayModel::close() {
    m_closed = true;
    m_qrCode->cancel();
}

void PayModel::onEvent(int id, const AnyValue& value) {
    if (m_closed)
        return;
    switch (id) {
    case Event::RES_VIP_PLANS_OK:
        onPlans(value.as<QVariant>().toMap());
        break;
    case Event::RES_VIP_PLANS_FAIL:
        if (m_payMap.isEmpty())
            showNotice(QStringLiteral("会员套餐加载失败：") + value.as<QString>());
        break;
    case Event::RES_VIP_ORDER_OK:
        if (m_ordering)
            onOrder(value.as<QVariant>().toMap());
        break;
    case Event::RES_VIP_ORDER_FAIL:
        if (m_ordering)
            onOrderFailed(value.as<QString>());
        break;
    default:
        break;
    }
}

void PayModel::onPlans(QVariantMap plans) {
    if (!m_payMap.isEmpty()) // the packages are shown already (another window asked again)
        return;
    const QVariantList packages = offeredPackages(plans.value(kPackageList).toList());
    plans.insert(kPackageList, packages);
    m_payMap = plans;
    if (!m_viewModel)
        return;
    if (plans.value(QStringLiteral("is_vip")).toString() == QLatin1String("1"))
        m_viewModel->onUpdateMembership(plans.value(QStringLiteral("vip_endtime")));
    if (packages.isEmpty()) {
        m_viewModel->onUpdatePayInfo(QVariant());
        showNotice(QStringLiteral("暂无可开通的会员套餐"));
        return;
    }
    m_viewModel->onUpdatePayInfo(packages.first());
    sendOrder(m_wanted); // WeChat unless the learner chose otherwise meanwhile
}

void PayModel::order(Gateway gateway) {
    m_wanted = gateway;
    if (m_payMap.value(kPackageList).toList().isEmpty())
        return; // no package yet: the packages' arrival orders
    if (m_ordering) {
        m_orderAgain = true;
        return;
    }
    sendOrder(gateway);
}

void PayModel::sendOrder(Gateway gateway) {
    m_ordering = true;
    m_orderAgain = false;
    m_orderingGateway = gateway;
    m_payMap.insert(QStringLiteral("payType"), payTypeName(gateway));
    // The code shown must be this order's: the previous one goes at once.
    m_qrCode->cancel();
    if (m_viewModel)
        m_viewModel->onUpdateQRCode(QVariant());
    showNotice(QStringLiteral("正在生成支付二维码…"));
    const QVariantMap package = m_payMap.value(kPackageList).toList().first().toMap();
    dispatchEvent(Event::REQ_VIP_ORDER, AnyValue::of(QVariant(orderValue(package, gateway))));
}

void PayModel::onOrder(const QVariantMap& answer) {
    m_ordering = false;
    if (m_orderAgain)
        return sendOrder(m_wanted);
    const QString address = answer.value(QStringLiteral("code_url")).toString();
    if (address.isEmpty()) {
        showNotice(QStringLiteral("订单没有支付地址，请重新选择支付方式重试"));
        return;
    }
    m_qrCode->make(address, picturePath(m_orderingGateway));
}

void PayModel::onOrderFailed(const QString& message) {
    m_ordering = false;
    if (m_orderAgain)
        return sendOrder(m_wanted);
    showNotice(QStringLiteral("下单失败：") + message);
}

void PayModel::showNotice(const QString& text) {
    if (m_viewModel)
        m_viewModel->onUpdateNotice(text);
}
