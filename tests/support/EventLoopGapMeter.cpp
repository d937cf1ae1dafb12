#include "EventLoopGapMeter.h"

#include <algorithm>

namespace {
constexpr int kTickMs = 5;
}

EventLoopGapMeter::EventLoopGapMeter(QObject* parent) : QObject(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &EventLoopGapMeter::tick);
}

void EventLoopGapMeter::beginStep(const QString& name) {
    stop();
    m_steps.append(Step{name, 0, 0});
    m_clock.start();
    m_stepClock.start();
    m_lastTickMs = 0;
    m_timer.start();
}

void EventLoopGapMeter::stop() {
    if (!m_timer.isActive())
        return;
    tick(); // a stall up to now counts too
    m_timer.stop();
    m_steps.last().durationMs = m_stepClock.elapsed();
}

void EventLoopGapMeter::tick() {
    const qint64 now = m_clock.elapsed();
    // The timer's own period is not a stall.
    const qint64 gap = std::max<qint64>(0, now - m_lastTickMs - kTickMs);
    m_lastTickMs = now;
    if (!m_steps.isEmpty())
        m_steps.last().longestGapMs = std::max(m_steps.last().longestGapMs, gap);
}

QVector<EventLoopGapMeter::Step> EventLoopGapMeter::steps() const {
    return m_steps;
}

qint64 EventLoopGapMeter::longestGapMs() const {
    qint64 longest = 0;
    for (const Step& step : m_steps)
        longest = std::max(longest, step.longestGapMs);
    return longest;
}

QString EventLoopGapMeter::table() const {
    QString text = QStringLiteral("%1 %2 %3\n")
                       .arg(QStringLiteral("step"), -28)
                       .arg(QStringLiteral("longest gap ms"), 15)
                       .arg(QStringLiteral("duration ms"), 12);
    for (const Step& step : m_steps)
        text += QStringLiteral("%1 %2 %3\n")
                    .arg(step.name, -28)
                    .arg(step.longestGapMs, 15)
                    .arg(step.durationMs, 12);
    return text;
}
