#include "LoginView.h"

#include "LoginInputRules.h"
#include "QrCodeLoader.h"
#include "ServiceSettings.h"
#include "WebEngineEnvironment.h"
#include "ui_LoginView.h"

#include <QBitmap>
#include <QDesktopServices>
#include <QPainter>
#include <QPainterPath>
#include <QTimerEvent>
#include <QUrl>

LoginView::LoginView(QWidget* parent) : Widget(parent) {
    WebEngineEnvironment::prepare(); // the form holds the page view
    m_ui = std::make_unique<Ui::LoginView>();
    m_ui->setupUi(this);
    setupWindow();
    addMascot();
    m_qrCode = new QrCodeLoader(m_ui->web, m_ui->QRCode, this);
    connectButtons();
}

LoginView::~LoginView() {
    // The page may still owe an answer; let it go before the form it points into.
    delete m_ui->web;
}

void LoginView::setupWindow() {
    setFrameLess(true);
    setMoveable(true);
    adapterToScreen(true);
    setWindowModality(Qt::ApplicationModal);
    // No drop shadow: a widget with a graphics effect repaints over the
    // siblings above it, and the mascot slipped behind the panel after the
    // first click. The panel spans the window's width and bottom, so the
    // shadow could only show above it, where the window is cut away.
    for (QWidget* styled : {m_ui->widget, m_ui->title, m_ui->QRCode})
        styled->setAttribute(Qt::WA_StyledBackground, true);
    m_ui->ID->clear();
    m_ui->PW->clear();
    m_ui->web->hide();
}

void LoginView::addMascot() {
    m_mascot = new QWidget(this);
    m_mascot->setAttribute(Qt::WA_StyledBackground, true);
    m_mascot->setStyleSheet(QStringLiteral("border-image:url(:/images/iconDuck.png);"));
    m_mascot->setGeometry(386, 10, 122, 143);
    m_mascot->raise();
}

void LoginView::updateMask() {
    // The window is the white panel and the mascot above it, nothing else:
    // where the window system does not blend translucent windows (no
    // compositor) the band above the panel showed black.
    layout()->activate();
    QImage shape(size(), QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    QPainter painter(&shape);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF panel = m_ui->widget->geometry();
    const qreal radius = 20;
    QPainterPath outline;
    outline.addRoundedRect(panel.adjusted(0, 0, 0, radius), radius, radius);
    painter.fillPath(outline.intersected([&] {
        QPainterPath clip;
        clip.addRect(panel);
        return clip;
    }()),
                     Qt::white);
    painter.drawImage(m_mascot->geometry(), QImage(QStringLiteral(":/images/iconDuck.png")));
    painter.end();
    setMask(QBitmap::fromImage(shape.createAlphaMask()));
}

void LoginView::resizeEvent(QResizeEvent* event) {
    Widget::resizeEvent(event);
    updateMask();
}

void LoginView::showEvent(QShowEvent* event) {
    Widget::showEvent(event);
    updateMask();
}

void LoginView::connectButtons() {
    connect(m_ui->btnClose, &QPushButton::clicked, this, &LoginView::ClickClose);
    connect(m_ui->btnPW, &QPushButton::clicked, this, [this] { m_ui->sw->setCurrentIndex(0); });
    connect(m_ui->btnCode, &QPushButton::clicked, this, [this] { m_ui->sw->setCurrentIndex(1); });
    connect(m_ui->btnRequestCode, &QPushButton::clicked, this, &LoginView::onClickRequestCode);
    connect(m_ui->btnLogin, &QPushButton::clicked, this, &LoginView::onClickLogin);
    connect(m_ui->agree1, &QPushButton::clicked, this,
            [] { openServicePage(QStringLiteral("/activity/Feedback/agreement/from/1")); });
    connect(m_ui->agree2, &QPushButton::clicked, this,
            [] { openServicePage(QStringLiteral("/activity/yqPrivacy")); });
}

void LoginView::openServicePage(const QString& path) {
    QDesktopServices::openUrl(QUrl(ServiceSettings::webOrigin() + path));
}

void LoginView::onClickLogin() {
    const bool agreed = m_ui->agree->isChecked();
    const bool accountPage = m_ui->sw->currentIndex() == 0;
    const QString error =
        accountPage
            ? LoginInputRules::accountLoginError(m_ui->ID->text(), m_ui->PW->text(), agreed)
            : LoginInputRules::codeLoginError(m_ui->phone->text(), m_ui->code->text(), agreed);
    m_ui->error->setText(error);
    if (!error.isEmpty())
        return;
    if (accountPage)
        emit LoginWithAccount(m_ui->ID->text(), m_ui->PW->text());
    else
        emit LoginWithCode(m_ui->phone->text(), m_ui->code->text());
}

void LoginView::onClickRequestCode() {
    if (m_countdownTimerId != 0)
        return;
    const QString mobile = m_ui->phone->text();
    const QString error = LoginInputRules::mobileError(mobile);
    m_ui->error->setText(error);
    if (!error.isEmpty())
        return;
    m_countdownTimerId = startTimer(m_countdownStep);
    m_ui->btnRequestCode->setEnabled(false);
    emit ClickRequestCode(mobile);
}

void LoginView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_countdownTimerId)
        return Widget::timerEvent(event);
    if (--m_countdownLeft > 0)
        m_ui->btnRequestCode->setText(QString::number(m_countdownLeft) +
                                      QStringLiteral("秒后重发"));
    else
        stopCountdown();
}

void LoginView::closeEvent(QCloseEvent* event) {
    Widget::closeEvent(event);
    emit ClickClose();
}

void LoginView::stopCountdown() {
    killTimer(m_countdownTimerId);
    m_countdownTimerId = 0;
    m_countdownLeft = kCountdownSeconds;
    m_ui->btnRequestCode->setText(QStringLiteral("获取验证码"));
    m_ui->btnRequestCode->setEnabled(true);
}

void LoginView::onQRCodeUrlChanged(const QVariant& url) {
    m_qrCode->load(url.toString());
}

void LoginView::onLoginFail(const QString& message) {
    m_ui->error->setText(message);
}
