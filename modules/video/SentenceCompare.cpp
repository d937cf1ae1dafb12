#include "SentenceCompare.h"

#include "PlayerView.h"
#include "VideoRecordViewItem.h"

#include <QMediaPlayer>

namespace {
// The player reports its position every 40 ms; a seek lands this close.
constexpr qint64 kLandingMs = 150;
constexpr int kSlackMs = 3000;
} // namespace

SentenceCompare::SentenceCompare(PlayerView* player, QObject* parent)
    : QObject(parent), m_player(player) {
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, &SentenceCompare::originalDone);
    connect(player->videoPlayer(), &QMediaPlayer::positionChanged, this,
            &SentenceCompare::onPosition);
}

void SentenceCompare::play(VideoRecordViewItem* row, qreal rate, bool thenTake) {
    stop();
    if (!row || row->durationMs() <= 0)
        return;
    m_row = row;
    m_thenTake = thenTake && row->isRecorded();
    m_startMs = qMax(row->startMs(), 0);
    m_stopMs = row->stopMs();
    m_started = false;
    setStep(Step::Original);
    m_player->setPlaybackRate(rate);
    m_player->setMuted(false);
    m_player->playSentence(true, row->sentence());
    m_limit.start(int((m_stopMs - m_startMs) / qMax(rate, 0.25)) + kSlackMs);
}

void SentenceCompare::stop() {
    const Step was = m_step;
    m_limit.stop();
    m_thenTake = false;
    setStep(Step::Idle);
    if (was == Step::Original)
        m_player->pause();
    else if (was == Step::Take && m_row)
        m_row->stopPlayback();
}

void SentenceCompare::onPosition(qint64 ms) {
    if (m_step != Step::Original)
        return;
    // Positions from before the seek to the sentence do not count.
    if (!m_started) {
        m_started = ms >= m_startMs - kLandingMs && ms < m_stopMs;
        return;
    }
    if (ms >= m_stopMs)
        originalDone();
}

void SentenceCompare::originalDone() {
    if (m_step != Step::Original)
        return;
    m_limit.stop();
    m_player->pause();
    if (!m_thenTake || !m_row) {
        setStep(Step::Idle);
        return;
    }
    setStep(Step::Take);
    VideoRecordViewItem* row = m_row;
    connect(row, &VideoRecordViewItem::StopPlay, this, [this, row] {
        row->disconnect(this);
        if (m_step == Step::Take && m_row == row) {
            m_thenTake = false;
            setStep(Step::Idle);
        }
    });
    row->onClickPlay();
}

void SentenceCompare::setStep(Step step) {
    if (m_step == step)
        return;
    m_step = step;
    emit stepChanged(step);
}

VideoRecordViewItem* SentenceCompare::row() const {
    return m_row;
}
