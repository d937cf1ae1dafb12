#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

// Watches the interface thread for stalls: a fast timer notes the longest gap
// between its ticks, per named step. A gap is how long the event loop could
// not answer the user.
//
// Where the system tells (Linux), the longest gap is also split into the
// time the thread ran and the time it waited for a processor: a stall spent
// waiting for a processor says the machine was busy, not what the thread did.
class EventLoopGapMeter : public QObject {
    Q_OBJECT
public:
    struct Step {
        QString name;
        qint64 longestGapMs = 0;
        qint64 durationMs = 0;
        // Of the longest gap: on a processor, and ready but waiting for one
        // (-1 when the system does not tell).
        qint64 gapRunningMs = -1;
        qint64 gapQueuedMs = -1;
    };

    explicit EventLoopGapMeter(QObject* parent = nullptr);
    ~EventLoopGapMeter() override;

    // Ends the current step (if any) and starts measuring the next one.
    void beginStep(const QString& name);
    void stop();

    QVector<Step> steps() const;
    qint64 longestGapMs() const;
    // One line per step: name, longest gap (and its parts), duration.
    QString table() const { return table(m_steps); }
    // The same for steps gathered elsewhere, e.g. from another process.
    static QString table(const QVector<Step>& steps);

private:
    struct ThreadTimes {
        qint64 runningNs = -1;
        qint64 queuedNs = -1;
    };
    void tick();
    ThreadTimes threadTimes();

    QTimer m_timer;
    QElapsedTimer m_clock;
    QElapsedTimer m_stepClock;
    qint64 m_lastTickMs = 0;
    ThreadTimes m_lastTimes;
    int m_schedstat = -1; // the measured thread's scheduler statistics
    QVector<Step> m_steps;
};
