#pragma once

#include "Mediator.h"
#include "UserDao.h"

#include <QVariantMap>

class PayViewModel;
class QrCodeMaker;

// Offers the year package, orders it with WeChat or Alipay and turns the
// order's payment address into the QR picture.
class PayModel : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    enum Gateway { Wechat, Alipay };

    // Asks the service for the packages at once.
    explicit PayModel(QObject* parent = nullptr);
    ~PayModel() override;

    void setViewModel(PayViewModel* viewModel) { m_viewModel = viewModel; }
    void order(Gateway gateway);
    // The window is closing: answers still on their way change nothing.
    void close();

    QVariantMap payMap() const { return m_payMap; }
    bool isOrdering() const { return m_ordering; }

    // The package list as offered: only the first package marked
    // `choose_year` "1" when there is one, else the list as received.
    static QVariantList offeredPackages(const QVariantList& packages);
    static QVariantMap orderValue(const QVariantMap& package, Gateway gateway);
    static QString payTypeName(Gateway gateway);
    // Where the gateway's QR picture is written (the working directory).
    static QString picturePath(Gateway gateway);

    void onEvent(int id, const AnyValue& value) override;

private:
    void onPlans(QVariantMap plans);
    void onOrder(const QVariantMap& answer);
    void onOrderFailed(const QString& message);
    void sendOrder(Gateway gateway);
    void showNotice(const QString& text);

    PayViewModel* m_viewModel = nullptr;
    QrCodeMaker* m_qrCode = nullptr;
    QVariantMap m_payMap;
    bool m_closed = false;
    // One order at a time: the answers do not say which gateway they are
    // for, so a choice made while an order is on its way is sent after it.
    bool m_ordering = false;
    Gateway m_orderingGateway = Wechat;
    Gateway m_wanted = Wechat;
    bool m_orderAgain = false;
};
