#pragma once

#include "InputLevel.h"

#include <QTimer>
#include <QWidget>
#include <memory>

namespace Ui {
class PracticeBar;
}
class QPushButton;

// The head of the record page: the microphone check (device choice, level
// meter, a warning when nothing is heard or the input clips), the speed of
// the original sentence and "start over" with its confirmation. The meter
// listens only while the bar is shown.
class PracticeBar : public QWidget {
    Q_OBJECT
public:
    explicit PracticeBar(QWidget* parent = nullptr);
    ~PracticeBar() override;

    void setRate(double rate);
    double rate() const;
    InputLevel* inputLevel() const { return m_level; }
    // Lists the devices anew, the remembered one selected.
    void loadDevices();

signals:
    void RateChosen(double rate);
    void StartOver();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void onDeviceChosen(int row);
    void onLevel(double peakDb, double rmsDb);
    void onWarning(InputLevel::Warning warning);
    void showTips(const QString& text, bool warning);
    void confirmStartOver(bool asking);
    void listen();

    std::unique_ptr<Ui::PracticeBar> ui;
    InputLevel* m_level = nullptr;
    QList<QPair<QPushButton*, double>> m_rates;
    QTimer m_confirmTimeout;
};
