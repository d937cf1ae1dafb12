#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>

class DubMixer;
class VideoRecordViewItem;

// The preview's assembly, without blocking: waits until every sentence row
// has finished its take, its per-sentence steps and its scoring (a row
// still working would be mixed or averaged stale), then mixes all
// recordings over the background in one pass into a new product file in the
// working directory.
class DubAssembler : public QObject {
    Q_OBJECT
public:
    explicit DubAssembler(QObject* parent = nullptr);
    ~DubAssembler() override;

    // `rows` in list order; `durationMs` of the clip, 0 when unknown.
    void start(const QList<VideoRecordViewItem*>& rows, const QString& background,
               qint64 durationMs);
    bool isRunning() const { return m_running; }

signals:
    // What is being done, for the progress window: a title and a share.
    void step(const QString& title, int done, int total);
    // `product`: the file name in the working directory.
    void finished(bool ok, const QString& product, const QString& error);

private:
    void check();
    bool retryFailedTracks();
    void mix();
    void finish(bool ok, const QString& product, const QString& error);

    QList<QPointer<VideoRecordViewItem>> m_rows;
    QSet<const VideoRecordViewItem*> m_retried;
    QString m_background;
    qint64 m_durationMs = 0;
    QString m_product;
    DubMixer* m_mixer = nullptr;
    QTimer m_recheck;
    bool m_running = false;
    bool m_mixing = false;
};
