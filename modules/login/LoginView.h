#pragma once

#include "Widget.h"

#include <QVariant>
#include <memory>

namespace Ui {
class LoginView;
}
class QrCodeLoader;

// The modal login window: account or SMS-code form on the left, the WeChat
// QR code on the right.
class LoginView : public Widget {
    Q_OBJECT
public:
    static constexpr int kCountdownSeconds = 60;

    explicit LoginView(QWidget* parent = nullptr);
    ~LoginView() override;

    // Length of one countdown second; tests shorten it.
    void setCountdownStep(int ms) { m_countdownStep = ms; }

signals:
    void ClickClose();
    void ClickRequestCode(const QString& mobile);
    void LoginWithAccount(const QString& account, const QString& password);
    void LoginWithCode(const QString& mobile, const QString& code);
    void LoginWithWX();

public slots:
    void onQRCodeUrlChanged(const QVariant& url);
    void onLoginFail(const QString& message);

protected:
    void timerEvent(QTimerEvent* event) override;
    // Closed by the system (the module itself only hides the window): treated
    // as the close button, so the module goes and its poll with it.
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setupWindow();
    void addMascot();
    void updateMask();
    void connectButtons();
    void onClickLogin();
    void onClickRequestCode();
    void stopCountdown();
    static void openServicePage(const QString& path);

    std::unique_ptr<Ui::LoginView> m_ui;
    QrCodeLoader* m_qrCode = nullptr;
    QWidget* m_mascot = nullptr;
    int m_countdownTimerId = 0;
    int m_countdownLeft = kCountdownSeconds;
    int m_countdownStep = 1000;
};
