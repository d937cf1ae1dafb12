#include "PayView.h"

#include "CachedFile.h"
#include "ServiceSettings.h"
#include "ui_PayView.h"

#include <QDesktopServices>
#include <QImage>
#include <QUrl>

PayView::PayView(QWidget* parent) : Widget(parent), m_ui(std::make_unique<Ui::PayView>()) {
    m_ui->setupUi(this);
    setupWindow();
    connectButtons();
}

PayView::~PayView() = default;

QString PayView::agreementAddress() {
    return ServiceSettings::webOrigin() + QStringLiteral("/activity/vipAgreement");
}

void PayView::setupWindow() {
    setFrameLess(true);
    setMoveable(true);
    adapterToScreen(true);
    setWindowModality(Qt::ApplicationModal);
    setDropShadow(m_ui->widget, QColor(0, 0, 0, 76));
    for (QWidget* styled : {m_ui->widget, m_ui->title, m_ui->head, m_ui->pay, m_ui->QRCode})
        styled->setAttribute(Qt::WA_StyledBackground, true);
    m_ui->labelNotice->hide();
}

void PayView::connectButtons() {
    connect(m_ui->btnClose, &QPushButton::clicked, this, &PayView::ClickClose);
    connect(m_ui->btnWechat, &QPushButton::clicked, this, [this] {
        m_ui->payType->setText(QStringLiteral("微信扫码支付"));
        emit ClickWechat();
    });
    connect(m_ui->btnAlipay, &QPushButton::clicked, this, [this] {
        m_ui->payType->setText(QStringLiteral("支付宝扫码支付"));
        emit ClickAlipay();
    });
    connect(m_ui->agree, &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(agreementAddress())); });
}

void PayView::onUpdateUserInfo(const QVariant& user) {
    const QVariantMap m = user.toMap();
    m_ui->nick->setText(m.value(QStringLiteral("nick")).toString());
    CachedFile::fetch(
        m.value(QStringLiteral("head")).toString(), this, [this](const QString& path) {
            m_ui->head->setStyleSheet(
                QStringLiteral("border-radius:24px;border-image:url(\"%1\");").arg(path));
        });
}

void PayView::onUpdatePayInfo(const QVariant& package) {
    // No package to offer: nothing that looks like a price stays on show.
    m_ui->pay->setVisible(package.isValid());
    const QVariantMap m = package.toMap();
    m_ui->duration->setText(m.value(QStringLiteral("desc")).toString());
    m_ui->price->setText(m.value(QStringLiteral("amount")).toString());
}

void PayView::onUpdateQRCode(const QVariant& path) {
    // Read afresh every time: the file keeps its name from order to order.
    const QImage picture = path.toString().isEmpty() ? QImage() : QImage(path.toString());
    if (!path.toString().isEmpty() && picture.isNull()) {
        onUpdateNotice(QStringLiteral("支付二维码无法显示，请重新选择支付方式重试"));
        return;
    }
    m_ui->labelQRCode->setPixmap(QPixmap::fromImage(picture));
    m_ui->labelQRCode->setVisible(!picture.isNull());
}

void PayView::onUpdateNotice(const QVariant& text) {
    const QString line = text.toString();
    m_ui->labelNotice->setText(line);
    m_ui->labelNotice->setVisible(!line.isEmpty());
    if (!line.isEmpty())
        m_ui->labelQRCode->hide();
}

void PayView::onUpdateMembership(const QVariant& endDate) {
    const QString date = endDate.toString();
    m_ui->label_6->setText(date.isEmpty()
                               ? QStringLiteral("您已是会员，续费后有效期顺延")
                               : QStringLiteral("会员有效期至 %1，续费后顺延").arg(date));
}

void PayView::closeEvent(QCloseEvent* event) {
    Widget::closeEvent(event);
    emit ClickClose();
}
