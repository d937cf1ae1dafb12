#pragma once

#include "TakeStore.h"

#include <QMediaPlayer>
#include <QMutex>
#include <QPointer>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <memory>

class ChildProcess;
class QAudioBuffer;
class QAudioProbe;
class QAudioRecorder;
class QTimer;
class SentenceTrack;
class TakeListPopup;

class UIUpdateThread;
struct ssound;

namespace Ui {
class VideoRecordViewItem;
}

// One sentence of the record list: records the learner's voice for exactly
// the sentence's length into <index>record.wav, plays it back, has it scored
// by the row's own speech engine (badge and word colours) and starts the
// follow-up jobs of a finished recording.
//
// The microphone delivers its first sample a second or two after record(), so
// the sentence's length is counted on the audio that actually arrived, not on
// a clock started at record().
//
// A take is recorded into <index>record.take.wav and replaces the last good
// recording only once it has completed: a take cancelled, failed or cut off by
// the row's end leaves the previous one in place.
//
// Every completed take is also kept in the clip's take store with its score;
// <index>record.wav is always the take chosen for the dub (the best one
// unless the learner picked another), so mixing and scoring read it as
// before. The badge and word colours show that take.
//
// Scoring never waits on the interface thread: the recording is converted by
// a child process, fed when that has finished, and the engine's result comes
// back from its own thread by queued signals. Only the newest take's result
// is shown.
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
    QVariantMap scores() const;
    // A completed take is still being scored; scores() then holds the
    // previous take's record.
    bool isScoring() const { return m_scoring; }
    QString takeWavPath() const;
    QString scoringWavPath() const;

    // Scores the row's current recording; a completed take calls it.
    void scoreRecording();
    // The per-sentence steps of the latest take; pending from the take's
    // start until its sentence track is written or has failed.
    SentenceTrack* track() const { return m_track; }
    bool isTrackPending() const;

    // The clip's takes; the row takes up the sentence's chosen take, if any.
    // Call after setSentence.
    void setTakeStore(TakeStore* store);
    TakeStore* takeStore() const { return m_takes; }
    int sentence() const { return m_index.toInt(); }
    // The take whose result is awaited, else 0.
    int scoringTake() const { return m_scoringTake; }
    // Plays one kept take, like the play button plays the chosen one.
    void playTake(int number);
    // Makes a kept take the one that goes into the dub; false while the
    // row records or scores.
    bool chooseTake(int number);
    bool isBusy() const;
    // Stops any playback of the row's recordings.
    void stopPlayback();
    void showTakes();

signals:
    void UpdateScore();
    void UpdateWordColor(QVariant map);
    void StartMix();
    void StartRecord();
    void StopRecord();
    void StartPlay();
    void StopPlay();
    void TrackFinished(bool ok);
    // Practice: hear the clip's sentence, or it and then the chosen take.
    void ClickOriginal();
    void ClickCompare();
    // A coloured word was clicked: look it up.
    void QueryWord(QString word);

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
    void discardRecorder();
    void createTrack();
    void startTrack();
    void startTake();
    void stopByHand();
    void cancelTake();
    void onAudioProbed(const QAudioBuffer& buffer);
    void onRecorderStatus();
    void onCaptureStarted();
    void onSentenceTimer();
    void completeTake();
    bool commitTake();
    void failTake();
    void showTake();
    void playRecording(const QUrl& location);
    void keepTake();
    void takeChosen(int number, bool makeTrack = true);
    void showScores(const QVariantMap& scores);
    void showWords(const QVariantList& words);
    void onWordLink(const QString& link);
    void setUpPractice();
    void stopProgress();
    void stopPlayers();
    qint64 capturedMs() const;

    void createEngine();
    void releaseEngine();
    void stopConversion();
    void onConverted(bool ok, const QString& error);
    void feedEngine(const QByteArray& audio);
    void takeResult(const QString& id, const QVariantMap& message);
    bool isSuperseded() const;
    void showTips(const QString& text);
    // The engine's result callback; runs on the engine's thread.
    static int onEngineResult(const void* row, const char* id, int type, const void* message,
                              int size);

    std::unique_ptr<Ui::VideoRecordViewItem> ui;
    QAudioRecorder* m_recorder = nullptr;
    QAudioProbe* m_probe = nullptr;
    bool m_probeActive = false;
    QTimer* m_sentenceTimer = nullptr;
    QTimer* m_trackAfterScore = nullptr;
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
    ssound* m_engine = nullptr;
    QPointer<ChildProcess> m_conversion;
    bool m_scoring = false;
    // Shared with the engine's thread: the evaluation whose result is awaited
    // (empty when none) and the score record it fills.
    mutable QMutex m_resultMutex;
    QString m_evaluationId;
    QVariantMap m_scores;
    QVariantList m_words; // of the latest result
    QVariantList m_shownWords;
    SentenceTrack* m_track = nullptr;
    QPointer<TakeStore> m_takes;
    int m_resultTake = 0; // the take of the latest result shown
    int m_scoringTake = 0;
    TakeListPopup* m_takeList = nullptr;
};
