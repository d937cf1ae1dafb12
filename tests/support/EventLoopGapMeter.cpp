#include "EventLoopGapMeter.h"

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
constexpr int kTickMs = 5;

QString part(qint64 ms) {
    return ms < 0 ? QStringLiteral("-") : QString::number(ms);
}
} // namespace

EventLoopGapMeter::EventLoopGapMeter(QObject* parent) : QObject(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &EventLoopGapMeter::tick);
}

EventLoopGapMeter::~EventLoopGapMeter() {
#ifdef Q_OS_LINUX
    if (m_schedstat >= 0)
        ::close(m_schedstat);
#endif
}

void EventLoopGapMeter::beginStep(const QString& name) {
    stop();
#ifdef Q_OS_LINUX
    // Opened from the measured thread: thread-self names the thread that opens.
    if (m_schedstat < 0)
        m_schedstat = ::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
#endif
    m_steps.append(Step{name});
    m_clock.start();
    m_stepClock.start();
    m_lastTickMs = 0;
    m_lastTimes = threadTimes();
    m_timer.start();
}

void EventLoopGapMeter::stop() {
    if (!m_timer.isActive())
        return;
    tick(); // a stall up to now counts too
    m_timer.stop();
    m_steps.last().durationMs = m_stepClock.elapsed();
}

// Nanoseconds on a processor and waiting in the run queue, since the thread began.
EventLoopGapMeter::ThreadTimes EventLoopGapMeter::threadTimes() {
    ThreadTimes times;
#ifdef Q_OS_LINUX
    char text[96] = {};
    if (m_schedstat >= 0 && ::pread(m_schedstat, text, sizeof text - 1, 0) > 0) {
        unsigned long long running = 0, queued = 0;
        if (std::sscanf(text, "%llu %llu", &running, &queued) == 2)
            times = ThreadTimes{qint64(running), qint64(queued)};
    }
#endif
    return times;
}

void EventLoopGapMeter::tick() {
    const qint64 now = m_clock.elapsed();
    const ThreadTimes times = threadTimes();
    // The timer's own period is not a stall.
    const qint64 gap = std::max<qint64>(0, now - m_lastTickMs - kTickMs);
    m_lastTickMs = now;
    if (!m_steps.isEmpty() && gap >= m_steps.last().longestGapMs) {
        Step& step = m_steps.last();
        step.longestGapMs = gap;
        const bool known = times.runningNs >= 0 && m_lastTimes.runningNs >= 0;
        step.gapRunningMs = known ? (times.runningNs - m_lastTimes.runningNs) / 1000000 : -1;
        step.gapQueuedMs = known ? (times.queuedNs - m_lastTimes.queuedNs) / 1000000 : -1;
    }
    m_lastTimes = times;
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

QString EventLoopGapMeter::table(const QVector<Step>& steps) {
    QString text = QStringLiteral("%1 %2 %3 %4 %5\n")
                       .arg(QStringLiteral("step"), -28)
                       .arg(QStringLiteral("longest gap ms"), 15)
                       .arg(QStringLiteral("of it running"), 14)
                       .arg(QStringLiteral("waiting for CPU"), 16)
                       .arg(QStringLiteral("duration ms"), 12);
    for (const Step& step : steps)
        text += QStringLiteral("%1 %2 %3 %4 %5\n")
                    .arg(step.name, -28)
                    .arg(step.longestGapMs, 15)
                    .arg(part(step.gapRunningMs), 14)
                    .arg(part(step.gapQueuedMs), 16)
                    .arg(step.durationMs, 12);
    return text;
}
