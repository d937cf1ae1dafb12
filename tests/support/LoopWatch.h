#pragma once

#include "PlayerView.h"

#include <QElapsedTimer>
#include <QtTest>

// Follows a player that loops one sentence until it has jumped back to the
// sentence's start `wraps` times, or the time is up: a loaded machine plays
// slower than the clock, so the watch waits for the jumps, not for a time.
struct LoopWatch {
    qint64 lowest = 0;
    qint64 highest = 0;
    int wraps = 0;

    static LoopWatch follow(const PlayerView& player, int wraps, int timeoutMs) {
        LoopWatch watch;
        watch.lowest = watch.highest = player.position();
        qint64 previous = player.position();
        QElapsedTimer clock;
        clock.start();
        while (watch.wraps < wraps && clock.elapsed() < timeoutMs) {
            QTest::qWait(20);
            const qint64 now = player.position();
            watch.wraps += now < previous ? 1 : 0;
            previous = now;
            watch.lowest = qMin(watch.lowest, now);
            watch.highest = qMax(watch.highest, now);
        }
        qInfo() << "looped" << watch.wraps << "times between" << watch.lowest << "and"
                << watch.highest << "ms";
        if (watch.wraps < wraps) { // what the player was doing, for the failure's report
            const QMediaPlayer* video = player.videoPlayer();
            qInfo() << "player state" << video->state() << video->mediaStatus() << "buffer"
                    << video->bufferStatus() << "seekable" << video->isSeekable() << "error"
                    << video->errorString();
        }
        return watch;
    }
};
