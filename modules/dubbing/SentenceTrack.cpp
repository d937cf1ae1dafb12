#include "SentenceTrack.h"

#include "ChildProcess.h"

#include <QDebug>
#include <QDir>

SentenceTrack::SentenceTrack(QObject* parent) : QObject(parent) {}

QString SentenceTrack::silenceFilter(int startMs) {
    const double seconds = qMax(startMs, 0) / 1000.0;
    return QStringLiteral("aevalsrc=0:d=%1 [s1];[s1][1:a]concat=n=2:v=0:a=1[aout]")
        .arg(QString::number(seconds, 'g', 6));
}

QStringList SentenceTrack::createEmptyArguments(const QString& index) {
    return {"-y", "-f", "lavfi", "-i", "anullsrc", "-t", "20", index + "empty.wav"};
}

QStringList SentenceTrack::mixEmptyAndRecordArguments(const QString& index, int startMs) {
    return {"-y",
            "-i",
            index + "empty.wav",
            "-i",
            index + "record.wav",
            "-filter_complex",
            silenceFilter(startMs),
            "-c:v",
            "copy",
            "-map",
            "[aout]",
            index + "record.mp3"};
}

void SentenceTrack::expect() {
    if (!isPending())
        m_state = State::Queued;
}

void SentenceTrack::start(const QString& index, int startMs) {
    // The steps of an earlier take would write a stale track: they go.
    delete m_run;
    m_index = index;
    m_startMs = startMs;
    m_state = State::Running;
    createEmpty();
}

void SentenceTrack::createEmpty() {
    m_run = ChildProcess::start(QStringLiteral("ffmpeg"), createEmptyArguments(m_index), this);
    connect(m_run, &ChildProcess::done, this, [this](bool ok, const QString& error) {
        if (!ok) {
            qDebug() << "createEmpty fail." << error;
            return settle(false);
        }
        qDebug() << "createEmpty success.";
        mixEmptyAndRecord();
    });
}

void SentenceTrack::mixEmptyAndRecord() {
    m_run = ChildProcess::start(QStringLiteral("ffmpeg"),
                                mixEmptyAndRecordArguments(m_index, m_startMs), this);
    connect(m_run, &ChildProcess::done, this, [this](bool ok, const QString& error) {
        if (!ok) {
            qDebug() << "mixEmptyAndRecord fail." << error;
            return settle(false);
        }
        m_path = QDir::currentPath() + QLatin1Char('/') + m_index + QStringLiteral("record.mp3");
        qDebug() << "mixEmptyAndRecord success.";
        settle(true);
    });
}

void SentenceTrack::settle(bool ok) {
    m_state = ok ? State::Ready : State::Failed;
    emit finished(ok);
}
