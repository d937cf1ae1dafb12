#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class PlayerView;
class VideoRecordViewItem;

// Plays a sentence row's part of the clip once, with its sound and at the
// learner's speed ("original"), and for a comparison the row's chosen take
// right after it. The clip's own sentence loop ends the original: the
// player is paused as soon as it reaches the sentence's end.
class SentenceCompare : public QObject {
    Q_OBJECT
public:
    enum class Step { Idle, Original, Take };

    SentenceCompare(PlayerView* player, QObject* parent = nullptr);

    void play(VideoRecordViewItem* row, qreal rate, bool thenTake);
    void stop();
    Step step() const { return m_step; }
    bool comparing() const { return m_thenTake; }
    VideoRecordViewItem* row() const;

signals:
    void stepChanged(SentenceCompare::Step step);

private:
    void onPosition(qint64 ms);
    void originalDone();
    void setStep(Step step);

    PlayerView* m_player;
    QPointer<VideoRecordViewItem> m_row;
    Step m_step = Step::Idle;
    bool m_thenTake = false;
    bool m_started = false;
    qint64 m_startMs = 0;
    qint64 m_stopMs = 0;
    // Ends the original even when the player stops reporting positions.
    QTimer m_limit;
};
