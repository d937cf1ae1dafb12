#pragma once

#include <QThread>

// Ticks a recording row's progress bar: every interval it reports the time
// elapsed so far, until the sentence's length is reached or it is interrupted.
class UIUpdateThread : public QThread {
    Q_OBJECT
public:
    UIUpdateThread(int intervalMs, int ticks, QObject* parent = nullptr);
    ~UIUpdateThread() override;

    int interval() const { return m_interval; }
    int ticks() const { return m_ticks; }

    // Asks the worker to end and waits for it.
    void stopAndJoin();

signals:
    void updateProgress(int value);

public:
    Q_INVOKABLE void run() override;

private:
    const int m_interval;
    const int m_ticks;
};
