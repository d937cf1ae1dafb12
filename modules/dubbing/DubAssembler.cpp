#include "DubAssembler.h"

#include "DubMixer.h"
#include "SentenceTrack.h"
#include "VideoRecordViewItem.h"

#include <QDateTime>
#include <QDir>

namespace {
// A take can also end without a signal (a recorder error before the first
// sample); the wait looks again now and then.
constexpr int kRecheckMs = 500;

QString mixTitle(int percent) {
    return QStringLiteral("正在合成配音: %1%").arg(percent);
}
} // namespace

DubAssembler::DubAssembler(QObject* parent) : QObject(parent), m_mixer(new DubMixer(this)) {
    m_recheck.setInterval(kRecheckMs);
    connect(&m_recheck, &QTimer::timeout, this, &DubAssembler::check);
    connect(m_mixer, &DubMixer::progress, this,
            [this](int percent) { emit step(mixTitle(percent), percent, 100); });
    // The mixer logs ffmpeg's reason; the learner is told what to do.
    connect(m_mixer, &DubMixer::finished, this, [this](bool ok) {
        finish(ok, m_product, ok ? QString() : QStringLiteral("配音合成失败，请重试"));
    });
}

DubAssembler::~DubAssembler() = default;

void DubAssembler::start(const QList<VideoRecordViewItem*>& rows, const QString& background,
                         qint64 durationMs) {
    if (m_running)
        return;
    m_running = true;
    m_mixing = false;
    m_rows.clear();
    m_retried.clear();
    m_background = background;
    m_durationMs = durationMs;
    for (VideoRecordViewItem* row : rows) {
        m_rows << row;
        connect(row, &VideoRecordViewItem::TrackFinished, this, &DubAssembler::check);
        connect(row, &VideoRecordViewItem::StopRecord, this, &DubAssembler::check);
        // After the row's own slot has taken the score in.
        connect(row, &VideoRecordViewItem::UpdateScore, this, &DubAssembler::check,
                Qt::QueuedConnection);
    }
    m_recheck.start();
    check();
}

void DubAssembler::check() {
    if (!m_running || m_mixing)
        return;
    int pending = 0;
    for (const QPointer<VideoRecordViewItem>& row : m_rows) {
        if (!row)
            return finish(false, QString(), QStringLiteral("配音未完成!"));
        // A take still being scored would be averaged with its previous score.
        pending += row->isTrackPending() || row->isScoring() ? 1 : 0;
    }
    if (pending > 0) {
        const int done = m_rows.size() - pending;
        emit step(QStringLiteral("正在处理录音 %1/%2").arg(done).arg(m_rows.size()), done,
                  m_rows.size());
        return;
    }
    for (const QPointer<VideoRecordViewItem>& row : m_rows)
        if (!row->isRecorded())
            return finish(false, QString(), QStringLiteral("配音未完成!"));
    if (!retryFailedTracks())
        mix();
}

// A sentence whose steps failed gets them once more; when they fail again
// its recording cannot be read and the learner has to record it anew.
bool DubAssembler::retryFailedTracks() {
    bool retrying = false;
    for (const QPointer<VideoRecordViewItem>& row : m_rows) {
        if (row->track()->state() == SentenceTrack::State::Ready)
            continue;
        if (m_retried.contains(row.data())) {
            finish(false, QString(),
                   QStringLiteral("第%1句录音无法处理，请重新录制").arg(row->index().toInt() + 1));
            return true;
        }
        m_retried.insert(row.data());
        row->onStartMix();
        retrying = true;
    }
    return retrying;
}

void DubAssembler::mix() {
    m_mixing = true;
    m_recheck.stop();
    QList<DubMixer::Sentence> sentences;
    for (const QPointer<VideoRecordViewItem>& row : m_rows)
        sentences << DubMixer::Sentence{row->recordWavPath(), row->startMs()};
    m_product = DubMixer::productName(QDateTime::currentDateTime());
    emit step(mixTitle(0), 0, 100);
    m_mixer->start(m_background, sentences, QDir::current().filePath(m_product), m_durationMs);
}

void DubAssembler::finish(bool ok, const QString& product, const QString& error) {
    m_running = false;
    m_mixing = false;
    m_recheck.stop();
    for (const QPointer<VideoRecordViewItem>& row : m_rows)
        if (row)
            row->disconnect(this);
    m_rows.clear();
    emit finished(ok, product, error);
}
