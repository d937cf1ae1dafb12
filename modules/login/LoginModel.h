#pragma once

#include "Mediator.h"
#include "UserDao.h"

#include <QVariantMap>

class LoginViewModel;

// Drives the WeChat QR login (QR info, poll for the scan, user info, login)
// and hands login failures to the view model.
class LoginModel : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    static constexpr int kPollIntervalMs = 2000;

    explicit LoginModel(QObject* parent = nullptr);

    void setViewModel(LoginViewModel* viewModel) { m_viewModel = viewModel; }
    // Asks for the QR code.
    void start();
    // The window is closing: the poll stops and later results are ignored.
    void close();
    bool isPolling() const { return m_pollTimerId != 0; }
    void setPollInterval(int ms) { m_pollInterval = ms; }

    void onEvent(int id, const AnyValue& value) override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void onQrInfo(const QVariantMap& info);
    void onCode(const QVariantMap& answer);
    void onUserInfo(QVariantMap info);
    void startPoll();
    void stopPoll();

    LoginViewModel* m_viewModel = nullptr;
    int m_pollTimerId = 0;
    int m_pollInterval = kPollIntervalMs;
    QString m_appId;
    QString m_codeId;
    QString m_code;
    bool m_closed = false;
};
