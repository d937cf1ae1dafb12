#include "UIUpdateThread.h"

UIUpdateThread::UIUpdateThread(int intervalMs, int ticks, QObject* parent)
    : QThread(parent), m_interval(intervalMs), m_ticks(ticks) {}

UIUpdateThread::~UIUpdateThread() {
    stopAndJoin();
}

void UIUpdateThread::stopAndJoin() {
    requestInterruption();
    wait();
}

void UIUpdateThread::run() {
    for (int i = 1; i <= m_ticks && !isInterruptionRequested(); ++i) {
        msleep(m_interval);
        if (isInterruptionRequested())
            return;
        emit updateProgress(i * m_interval);
    }
}
