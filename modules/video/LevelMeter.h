#pragma once

#include <QWidget>

// A horizontal microphone level bar over -60..0 dBFS: the RMS as a filled
// bar in the accent gradient (amber when loud, red when clipping) and the
// peak as a tick.
class LevelMeter : public QWidget {
    Q_OBJECT
public:
    static constexpr double kRangeDb = 60;

    explicit LevelMeter(QWidget* parent = nullptr);

    void setLevel(double peakDb, double rmsDb);
    double peakDb() const { return m_peakDb; }
    double rmsDb() const { return m_rmsDb; }
    // Share of the width for a level in dBFS, 0..1.
    static double share(double db);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_peakDb = -90;
    double m_rmsDb = -90;
};
