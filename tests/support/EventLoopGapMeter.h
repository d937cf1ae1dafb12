#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

// Watches the interface thread for stalls: a fast timer notes the longest gap
// between its ticks, per named step. A gap is how long the event loop could
// not answer the user.
class EventLoopGapMeter : public QObject {
    Q_OBJECT
public:
    struct Step {
        QString name;
        qint64 longestGapMs = 0;
        qint64 durationMs = 0;
    };

    explicit EventLoopGapMeter(QObject* parent = nullptr);

    // Ends the current step (if any) and starts measuring the next one.
    void beginStep(const QString& name);
    void stop();

    QVector<Step> steps() const;
    qint64 longestGapMs() const;
    // One line per step: name, longest gap, duration.
    QString table() const;

private:
    void tick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    QElapsedTimer m_stepClock;
    qint64 m_lastTickMs = 0;
    QVector<Step> m_steps;
};
