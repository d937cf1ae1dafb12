#pragma once

#include <QGraphicsView>
#include <QMediaPlayer>
#include <QPointer>
#include <QUrl>
#include <QVariant>
#include <memory>

class QGraphicsScene;
class QGraphicsVideoItem;
class WordView;

namespace Ui {
class PlayerView;
}

// Plays a clip's video and holds its subtitle sentences. Embedded in the
// video page it has a small tool bar; full-window (teaching mode) it also
// shows the current sentence, loops single sentences and can hide Chinese.
class PlayerView : public QGraphicsView {
    Q_OBJECT
public:
    enum PlayState { Playing = 0, Paused = 1, Stopped = 2 };
    // What the subtitle text should do at a playback position.
    enum { KeepText = -2, ClearText = -1 };

    explicit PlayerView(bool fullWindow, QWidget* parent = nullptr);
    ~PlayerView() override;

    void setVideoUrl(const QVariant& url);
    void setAudioUrl(const QVariant& url);
    void loadSubtitles(const QString& path);
    void setSentences(const QVariant& sentences);
    void playSentence(bool single, int index);
    void play();
    void pause();
    void stop();
    void setMuted(bool muted);
    // The video's speed (1 normal); the voice keeps its pitch.
    void setPlaybackRate(qreal rate);
    qreal playbackRate() const;
    void setPosition(qint64 ms);
    int playState() const { return m_playState; }
    void setDesc(const QString& text);
    void showWord(const QVariant& result);

    bool isFullWindow() const { return m_fullWindow; }
    QVariant sentences() const { return m_sentences; }
    int sentenceCount() const { return m_sentences.toList().size(); }
    QUrl videoUrl() const { return m_videoUrl; }
    qint64 position() const { return m_position; }
    qint64 duration() const { return m_duration; }
    bool isLooping() const { return m_loop; }
    qint64 loopStart() const { return m_loopStart; }
    qint64 loopEnd() const { return m_loopEnd; }
    int currentSentence() const { return m_currentIndex; }
    QMediaPlayer* videoPlayer() const { return m_videoPlayer; }
    QMediaPlayer* audioPlayer() const { return m_audioPlayer; }

    // Index of the sentence to show at position ms (start < ms < stop), else
    // ClearText once a sentence has ended before ms, else KeepText.
    static int textIndexAt(const QVariantList& sentences, qint64 ms);
    static QUrl toUrl(const QVariant& url);
    static QString clock(qint64 ms);

signals:
    void ClickMin();
    void ClickRestore();
    void ClickClose();
    void ClickPrev();
    void ClickNext();
    void QueryWord(QString word);

protected:
    void timerEvent(QTimerEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setUpFullWindow();
    void setUpEmbedded();
    void connectPlayer();
    void connectFullWindow();
    void connectEmbedded();
    void onDurationChanged(qint64 duration);
    void onPositionChanged(qint64 position);
    void onStateChanged(QMediaPlayer::State state);
    void onMediaStatusChanged(QMediaPlayer::MediaStatus status);
    void reloadIfEnded();
    void startPlaying();
    void showTextAt(qint64 position);
    void onClickPlay();
    void onSliderPress();
    void onClickSingle(bool checked);
    void onClickPrev();
    void onClickNext();
    void loopSentence(int index);
    void onClickZY(bool checked);
    void onQueryWord(const QString& word);
    void onClickFullScreen(bool checked);
    void setToolBarsVisible(bool visible);
    void restartToolBarTimer(int ms);
    QVariantMap sentence(int index) const;

    std::unique_ptr<Ui::PlayerView> ui;
    const bool m_fullWindow;
    bool m_loop = false;
    QGraphicsScene* m_scene = nullptr;
    QGraphicsVideoItem* m_videoItem = nullptr;
    QMediaPlayer* m_videoPlayer = nullptr;
    QMediaPlayer* m_audioPlayer = nullptr;
    QUrl m_videoUrl;
    QVariant m_sentences;
    qint64 m_position = 0;
    qint64 m_duration = 0;
    qint64 m_loopStart = 0;
    qint64 m_loopEnd = 0;
    int m_currentIndex = 0;
    int m_toolBarTimer = 0;
    int m_playState = Stopped;
    QPointer<QWidget> m_normalParent;
    QPointer<WordView> m_wordView;
};
