#pragma once

#include "Widget.h"

#include <QVariant>
#include <memory>

namespace Ui {
class PayView;
}

// The modal VIP purchase window: the offered package, the two payment
// buttons and the payment QR code.
class PayView : public Widget {
    Q_OBJECT
public:
    explicit PayView(QWidget* parent = nullptr);
    ~PayView() override;

    static QString agreementAddress();

signals:
    void ClickClose();
    void ClickRequestCode();
    void ClickWechat();
    void ClickAlipay();

public slots:
    void onUpdateUserInfo(const QVariant& user);
    void onUpdatePayInfo(const QVariant& package);
    void onUpdateQRCode(const QVariant& path);
    void onUpdateNotice(const QVariant& text);
    void onUpdateMembership(const QVariant& endDate);

protected:
    // Closed by the system (the module itself only hides the window): treated
    // as the close button, so the module goes.
    void closeEvent(QCloseEvent* event) override;

private:
    void setupWindow();
    void connectButtons();

    std::unique_ptr<Ui::PayView> m_ui;
};
