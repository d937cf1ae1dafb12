#pragma once

#include "Mediator.h"

#include <QVariant>

class LoginModel;

class LoginViewModel : public Mediator {
    Q_OBJECT
    Q_PROPERTY(QVariant qrcodeUrl READ qrcodeUrl WRITE onUpdateQRCodeUrl NOTIFY QRCodeUrlChanged)
public:
    explicit LoginViewModel(QObject* parent = nullptr) : Mediator(parent) {}

    void setModel(LoginModel* model) { m_model = model; }
    QVariant qrcodeUrl() const { return m_qrcodeUrl; }

signals:
    void QRCodeUrlChanged(const QVariant& url);
    void LoginFail(const QString& message);

public slots:
    void onClickClose();
    void onLoginWithAccount(const QString& account, const QString& password);
    void onLoginWithCode(const QString& mobile, const QString& code);
    void onLoginWithWX();
    void onLoginFail(const QString& message);
    void onClickRequestCode(const QString& mobile);
    void onUpdateQRCodeUrl(const QVariant& url);

private:
    LoginModel* m_model = nullptr;
    QVariant m_qrcodeUrl;
};
