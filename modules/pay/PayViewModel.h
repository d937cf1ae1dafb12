#pragma once

#include "Mediator.h"

#include <QVariant>

class PayModel;

class PayViewModel : public Mediator {
    Q_OBJECT
    Q_PROPERTY(QVariant payInfo READ payInfo WRITE onUpdatePayInfo NOTIFY PayInfoChanged)
    Q_PROPERTY(QVariant qrcode READ qrcode WRITE onUpdateQRCode NOTIFY QRCodeChanged)
    Q_PROPERTY(QVariant notice READ notice WRITE onUpdateNotice NOTIFY NoticeChanged)
public:
    explicit PayViewModel(QObject* parent = nullptr) : Mediator(parent) {}

    void setModel(PayModel* model) { m_model = model; }
    // Tells the view whose membership is bought: {nick, head}.
    void announceUser(const QString& nick, const QString& head);

    QVariant payInfo() const { return m_payInfo; }
    QVariant qrcode() const { return m_qrcode; }
    QVariant notice() const { return m_notice; }

signals:
    void PayInfoChanged(const QVariant& package);
    void QRCodeChanged(const QVariant& path);
    // A line in place of the QR code (progress or what went wrong); empty
    // when the code is shown.
    void NoticeChanged(const QVariant& text);
    void UserInfoChanged(const QVariant& user);
    // The end date of the membership the user already has.
    void MembershipChanged(const QVariant& endDate);

public slots:
    void onClickClose();
    void onClickWechat();
    void onClickAlipay();
    void onUpdatePayInfo(const QVariant& package);
    void onUpdateQRCode(const QVariant& path);
    void onUpdateNotice(const QVariant& text);
    void onUpdateMembership(const QVariant& endDate);

private:
    PayModel* m_model = nullptr;
    QVariant m_payInfo;
    QVariant m_qrcode;
    QVariant m_notice;
};
