#pragma once

#include "ChildProcess.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

// The per-sentence steps after each take, in the background: twenty seconds
// of silence (<index>empty.wav), then the sentence track <index>record.mp3,
// silence up to the sentence's start followed by the recording. A new take
// restarts the steps; the last take's outcome is what counts.
class SentenceTrack : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Queued, Running, Ready, Failed };

    explicit SentenceTrack(QObject* parent = nullptr);

    // "aevalsrc=0:d=<start in seconds> [s1];[s1][1:a]concat=n=2:v=0:a=1[aout]";
    // a start that did not parse (-1) counts as 0.
    static QString silenceFilter(int startMs);
    static QStringList createEmptyArguments(const QString& index);
    static QStringList mixEmptyAndRecordArguments(const QString& index, int startMs);

    // A take has completed and its steps will start soon: from now on the
    // track counts as pending.
    void expect();
    void start(const QString& index, int startMs);

    State state() const { return m_state; }
    bool isPending() const { return m_state == State::Queued || m_state == State::Running; }
    // The finished track, working directory + "/" + index + "record.mp3".
    QString path() const { return m_path; }

signals:
    void finished(bool ok);

private:
    void createEmpty();
    void mixEmptyAndRecord();
    void settle(bool ok);

    QPointer<ChildProcess> m_run;
    State m_state = State::Idle;
    QString m_index;
    int m_startMs = -1;
    QString m_path;
};
