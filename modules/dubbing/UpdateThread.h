#pragma once

#include "ChildProcess.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

// One publication's upload: runs the upload program without blocking,
// turns its JSON progress lines into uploadProgress, and reports success
// only when the program exited with 0 (the service confirmed the stored
// file). A program that stops making progress is given up on.
class UpdateThread : public QObject {
    Q_OBJECT
public:
    static constexpr int kStallLimitMs = 30000;

    explicit UpdateThread(const QStringList& arguments, QObject* parent = nullptr);

    // {"total":N,"current":M}; false for anything else.
    static bool parseProgress(const QByteArray& line, qint64& current, qint64& total);

    void setStallLimit(int ms) { m_stall.setInterval(ms); }
    void start();

signals:
    void uploadProgress(qint64 current, qint64 total);
    void finished(bool ok, const QString& error);

private:
    void onOutput(const QByteArray& line);
    void onDone(bool ok, const QString& error);

    QStringList m_arguments;
    QPointer<ChildProcess> m_run;
    QTimer m_stall;
    qint64 m_current = -1;
    qint64 m_total = 0;
};
