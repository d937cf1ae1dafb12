#include "LoginModel.h"

#include "EventIds.h"
#include "LoginViewModel.h"
#include "WeChatSettings.h"

#include <QTimerEvent>

LoginModel::LoginModel(QObject* parent) : Mediator(parent), m_appId(WeChatSettings::appId()) {
    onViewInvalidated();
}

void LoginModel::start() {
    QVariantMap value;
    value.insert(QStringLiteral("appID"), m_appId);
    dispatchEvent(Event::REQ_WECHAT_QR_INFO, AnyValue::of(QVariant(value)));
}

void LoginModel::close() {
    m_closed = true;
    stopPoll();
}

void LoginModel::onEvent(int id, const AnyValue& value) {
    if (m_closed)
        return;
    switch (id) {
    case Event::RES_LOGIN_FAIL:
        if (m_viewModel)
            m_viewModel->onLoginFail(value.as<QString>());
        break;
    case Event::RES_WECHAT_QR_INFO_OK:
        onQrInfo(value.as<QVariant>().toMap());
        break;
    case Event::RES_WECHAT_CODE_OK:
        onCode(value.as<QVariantMap>());
        break;
    case Event::RES_WECHAT_USER_INFO_OK:
        onUserInfo(value.as<QVariant>().toMap());
        break;
    default:
        break;
    }
}

void LoginModel::onQrInfo(const QVariantMap& info) {
    m_codeId = info.value(QStringLiteral("code_id")).toString();
    if (m_viewModel)
        m_viewModel->onUpdateQRCodeUrl(info.value(QStringLiteral("url")));
    startPoll();
}

void LoginModel::onCode(const QVariantMap& answer) {
    stopPoll();
    m_code = answer.value(QStringLiteral("data")).toMap().value(QStringLiteral("code")).toString();
    QVariantMap value;
    value.insert(QStringLiteral("appID"), m_appId);
    value.insert(QStringLiteral("code"), m_code);
    dispatchEvent(Event::REQ_WECHAT_USER_INFO, AnyValue::of(QVariant(value)));
}

void LoginModel::onUserInfo(QVariantMap info) {
    const QString address = WeChatSettings::apiOrigin() +
                            QStringLiteral("/sns/userinfo?lintavo=1&access_token=%1&openid=%2")
                                .arg(info.value(QStringLiteral("access_token")).toString(),
                                     info.value(QStringLiteral("openid")).toString());
    info.insert(QStringLiteral("auth_url"), address);
    dispatchEvent(Event::REQ_LOGIN_WECHAT, AnyValue::of(QVariant(info)));
}

void LoginModel::startPoll() {
    stopPoll();
    m_pollTimerId = startTimer(m_pollInterval);
}

void LoginModel::stopPoll() {
    if (m_pollTimerId != 0)
        killTimer(m_pollTimerId);
    m_pollTimerId = 0;
}

void LoginModel::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_pollTimerId)
        return Mediator::timerEvent(event);
    QVariantMap value;
    value.insert(QStringLiteral("codeID"), m_codeId);
    dispatchEvent(Event::REQ_WECHAT_CODE, AnyValue::of(QVariant(value)));
}
