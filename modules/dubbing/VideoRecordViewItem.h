#pragma once

#include <QMediaPlayer>
#include <QPointer>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <memory>

class QAudioBuffer;
class QAudioProbe;
class QAudioRecorder;
class QTimer;
class SentenceTrack;
class UIUpdateThread;

namespace Ui {
class VideoRecordViewItem;
}

// One sentence of the record list: records the learner's voice for exactly
// the sentence's length into <index>record.wav, plays it back and starts the
// follow-up jobs of a finished recording.
//
// The microphone delivers its first sample a second or two after record(), so
// the sentence's length is counted on the audio that actually arrived, not on
// a clock started at record().
class VideoRecordViewItem : public QWidget {
    Q_OBJECT
public:
    static constexpr int kProgressInterval = 25;

    explicit VideoRecordViewItem(QWidget* parent = nullptr);
    ~VideoRecordViewItem() override;

    void setSentence(const QVariantMap& sentence);
    void setMember(bool member) { m_member = member; }
    bool isMember() const { return m_member; }

    bool isRecorded() const { return m_recorded; }
    bool isRecording() const;
    QString index() const { return m_index; }
    QString bg() const { return m_bg; }
    QString referenceText() const { return m_referenceText; }
    int startMs() const { return m_startMs; }
    int stopMs() const { return m_stopMs; }
    int durationMs() const { return m_durationMs; }
    QUrl recordLocation() const { return m_recordLocation; }
    QString recordWavPath() const;
    QString recordMp3Path() const { return m_recordMp3Path; }
    QVariantMap scores() const { return m_scores; }
    // The per-sentence steps of the latest take; pending from the take's
    // start until its sentence track is written or has failed.
    SentenceTrack* track() const { return m_track; }
    bool isTrackPending() const;

signals:
    void UpdateScore();
    void UpdateWordColor(QVariant map);
    void StartMix();
    void StartRecord();
    void StopRecord();
    void StartPlay();
    void StopPlay();
    void TrackFinished(bool ok);

public slots:
    void onUpdateProgress(int value);
    void onClickRecord();
    void onClickPlay();
    void onStateChanged(QMediaPlayer::State state);
    void onStartMix();
    void onTimerProc();
    void onUpdateScore();
    void onUpdateWordColor(QVariant map);

private:
    enum class Take { None, Starting, Capturing, Stopped, Finishing };

    void createRecorder();
    void createTrack();
    void startTake();
    void stopByHand();
    void cancelTake();
    void onAudioProbed(const QAudioBuffer& buffer);
    void onRecorderStatus();
    void onCaptureStarted();
    void onSentenceTimer();
    void completeTake();
    void stopProgress();
    void stopPlayers();
    qint64 capturedMs() const;

    // Scoring and the per-sentence audio steps plug in here.
    void createEngine();
    void releaseEngine();
    void scoreRecording();

    std::unique_ptr<Ui::VideoRecordViewItem> ui;
    QAudioRecorder* m_recorder = nullptr;
    QAudioProbe* m_probe = nullptr;
    bool m_probeActive = false;
    QTimer* m_sentenceTimer = nullptr;
    QPointer<UIUpdateThread> m_progress;
    Take m_take = Take::None;
    // Counts finalisations, so a late safety timer of an earlier take never
    // completes a newer one.
    quint64 m_finishSerial = 0;
    qint64 m_capturedUs = 0; // end of the latest captured audio, from the take's start

    bool m_recorded = false;
    bool m_member = false;
    QUrl m_recordLocation;
    int m_startMs = -1;
    int m_stopMs = -1;
    int m_durationMs = -1;
    QString m_index;
    QString m_bg;
    QString m_recordMp3Path;
    QString m_referenceText;
    void* m_engine = nullptr;
    QVariantMap m_scores;
    SentenceTrack* m_track = nullptr;
};
