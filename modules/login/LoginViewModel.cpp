#include "LoginViewModel.h"

#include "EventIds.h"

#include <QSysInfo>

void LoginViewModel::onClickClose() {
    dispatchEvent(Event::CLOSE_LOGIN, AnyValue());
}

void LoginViewModel::onLoginWithAccount(const QString& account, const QString& password) {
    QMap<QString, QString> value;
    value.insert(QStringLiteral("ID"), account);
    value.insert(QStringLiteral("PW"), password);
    dispatchEvent(Event::REQ_LOGIN_PASSWORD, AnyValue::of(value));
}

void LoginViewModel::onLoginWithCode(const QString& mobile, const QString& code) {
    QVariantMap value;
    value.insert(QStringLiteral("mobile"), mobile);
    value.insert(QStringLiteral("code"), code);
    value.insert(QStringLiteral("device"), QSysInfo::machineUniqueId());
    dispatchEvent(Event::REQ_LOGIN_CODE, AnyValue::of(QVariant(value)));
}

// The QR code flow runs in the model on its own; the view never asks for it.
void LoginViewModel::onLoginWithWX() {}

void LoginViewModel::onLoginFail(const QString& message) {
    emit LoginFail(message);
}

void LoginViewModel::onClickRequestCode(const QString& mobile) {
    QVariantMap value;
    value.insert(QStringLiteral("mobile"), mobile);
    dispatchEvent(Event::REQ_SMS_CODE, AnyValue::of(QVariant(value)));
}

void LoginViewModel::onUpdateQRCodeUrl(const QVariant& url) {
    if (m_qrcodeUrl == url)
        return;
    m_qrcodeUrl = url;
    emit QRCodeUrlChanged(url);
}
