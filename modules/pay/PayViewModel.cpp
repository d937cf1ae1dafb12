#include "PayViewModel.h"

#include "EventIds.h"
#include "PayModel.h"

void PayViewModel::announceUser(const QString& nick, const QString& head) {
    emit UserInfoChanged(
        QVariantMap{{QStringLiteral("nick"), nick}, {QStringLiteral("head"), head}});
}

void PayViewModel::onClickClose() {
    dispatchEvent(Event::CLOSE_VIP_PURCHASE, AnyValue());
}

void PayViewModel::onClickWechat() {
    if (m_model)
        m_model->order(PayModel::Wechat);
}

void PayViewModel::onClickAlipay() {
    if (m_model)
        m_model->order(PayModel::Alipay);
}

void PayViewModel::onUpdatePayInfo(const QVariant& package) {
    if (m_payInfo == package)
        return;
    m_payInfo = package;
    emit PayInfoChanged(package);
}

void PayViewModel::onUpdateQRCode(const QVariant& path) {
    if (m_qrcode == path)
        return;
    m_qrcode = path;
    emit QRCodeChanged(path);
}

void PayViewModel::onUpdateNotice(const QVariant& text) {
    if (m_notice == text)
        return;
    m_notice = text;
    emit NoticeChanged(text);
}

void PayViewModel::onUpdateMembership(const QVariant& endDate) {
    emit MembershipChanged(endDate);
}
