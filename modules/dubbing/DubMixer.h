#pragma once

#include "ChildProcess.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

// Builds the dub in one ffmpeg run: every sentence recording placed at its
// start time over the background track, summed without the per-input
// division of a plain mix (so each voice keeps its recorded level), held
// below full scale by a limiter, and encoded once to AAC. The dub has the
// background's channels (mono or stereo), found out first. The product
// appears under its name only when it is complete.
class DubMixer : public QObject {
    Q_OBJECT
public:
    struct Sentence {
        QString recording; // a sound file ffmpeg reads
        int startMs = 0;   // where it starts in the clip
    };

    explicit DubMixer(QObject* parent = nullptr);
    ~DubMixer() override;

    // "yyyy-MM-dd-hh-mm-ss-product.aac" of the local time.
    static QString productName(const QDateTime& now);
    static QStringList arguments(const QString& background, const QList<Sentence>& sentences,
                                 const QString& output, int channels);
    // Input 0 is the background, input i + 1 sentence i; the dub gets
    // `channels` (1, else 2).
    static QString filterGraph(const QList<Sentence>& sentences, int channels);

    // Mixes into `product` (a path); `durationMs` (0 when unknown) scales
    // the progress.
    void start(const QString& background, const QList<Sentence>& sentences, const QString& product,
               qint64 durationMs);
    bool isRunning() const { return m_run; }

signals:
    void progress(int percent);
    void finished(bool ok, const QString& error);

private:
    void probeBackground();
    void mix(int channels);
    void onOutput(const QByteArray& line);
    void onDone(bool ok, const QString& error);

    QPointer<ChildProcess> m_run;
    QString m_background;
    QList<Sentence> m_sentences;
    QString m_product;
    qint64 m_durationMs = 0;
    int m_percent = -1;
};
