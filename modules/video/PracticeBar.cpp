#include "PracticeBar.h"

#include "InputDevice.h"
#include "ui_PracticeBar.h"

#include <QStyle>
#include <QTimer>
#include <cmath>

namespace {
const QString kHint = QStringLiteral("录音前先试试麦克风：说句话，看看音量条");
// Asking to confirm "start over" ends by itself.
constexpr int kConfirmMs = 5000;
} // namespace

PracticeBar::PracticeBar(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PracticeBar>()), m_level(new InputLevel(this)) {
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    m_rates = {{ui->btnRate50, 0.5}, {ui->btnRate75, 0.75}, {ui->btnRate100, 1.0}};
    for (const auto& [button, rate] : m_rates) {
        connect(button, &QPushButton::clicked, this, [this, rate = rate] {
            setRate(rate);
            emit RateChosen(rate);
        });
    }
    setRate(1.0);
    m_confirmTimeout.setSingleShot(true);
    connect(&m_confirmTimeout, &QTimer::timeout, this, [this] { confirmStartOver(false); });
    confirmStartOver(false);
    connect(ui->btnStartOver, &QPushButton::clicked, this, [this] { confirmStartOver(true); });
    connect(ui->btnStartOverCancel, &QPushButton::clicked, this,
            [this] { confirmStartOver(false); });
    connect(ui->btnStartOverConfirm, &QPushButton::clicked, this, [this] {
        confirmStartOver(false);
        emit StartOver();
    });
    connect(m_level, &InputLevel::levelChanged, this, &PracticeBar::onLevel);
    connect(m_level, &InputLevel::warningChanged, this, &PracticeBar::onWarning);
    connect(m_level, &InputLevel::failed, this,
            [this](const QString& reason) { showTips(reason, true); });
    loadDevices();
    connect(ui->inputDevice, QOverload<int>::of(&QComboBox::activated), this,
            &PracticeBar::onDeviceChosen);
}

PracticeBar::~PracticeBar() = default;

void PracticeBar::setRate(double rate) {
    for (const auto& [button, offered] : m_rates)
        button->setChecked(qFuzzyCompare(offered, rate));
}

double PracticeBar::rate() const {
    for (const auto& [button, rate] : m_rates)
        if (button->isChecked())
            return rate;
    return 1.0;
}

void PracticeBar::loadDevices() {
    QComboBox* box = ui->inputDevice;
    box->clear();
    box->addItem(QStringLiteral("系统默认麦克风"), QString());
    const QString chosen = InputDevice::chosen();
    for (const QAudioDeviceInfo& device : InputDevice::available()) {
        box->addItem(device.deviceName(), device.deviceName());
        box->setItemData(box->count() - 1, device.deviceName(), Qt::ToolTipRole);
    }
    const int row = box->findData(chosen);
    // A remembered device that is not plugged in: the default is used.
    box->setCurrentIndex(row >= 0 ? row : 0);
}

void PracticeBar::onDeviceChosen(int row) {
    InputDevice::choose(ui->inputDevice->itemData(row).toString());
    if (isVisible())
        listen();
}

void PracticeBar::listen() {
    showTips(kHint, false);
    m_level->start(InputDevice::current());
}

void PracticeBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    listen();
}

void PracticeBar::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_level->stop();
}

void PracticeBar::onLevel(double peakDb, double rmsDb) {
    ui->levelMeter->setLevel(peakDb, rmsDb);
    ui->levelValue->setText(peakDb <= InputLevel::kFloorDb
                                ? QStringLiteral("-- dB")
                                : QStringLiteral("%1 dB").arg(std::lround(peakDb)));
}

void PracticeBar::onWarning(InputLevel::Warning warning) {
    if (warning == InputLevel::Warning::Quiet)
        showTips(QStringLiteral("没有听到声音：请检查麦克风或换一个设备"), true);
    else if (warning == InputLevel::Warning::Clipping)
        showTips(QStringLiteral("声音太大，已失真：请离麦克风远一点"), true);
    else
        showTips(kHint, false);
}

void PracticeBar::showTips(const QString& text, bool warning) {
    ui->levelTips->setText(text);
    ui->levelTips->setProperty("warning", warning);
    // The style depends on the property; it is read again.
    ui->levelTips->style()->unpolish(ui->levelTips);
    ui->levelTips->style()->polish(ui->levelTips);
}

void PracticeBar::confirmStartOver(bool asking) {
    ui->btnStartOver->setVisible(!asking);
    ui->btnStartOverConfirm->setVisible(asking);
    ui->btnStartOverCancel->setVisible(asking);
    if (asking)
        m_confirmTimeout.start(kConfirmMs);
    else
        m_confirmTimeout.stop();
}
