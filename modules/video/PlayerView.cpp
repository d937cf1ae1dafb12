#include "PlayerView.h"

#include "MediaBackend.h"
#include "SentenceTime.h"
#include "SubtitleParser.h"
#include "TempoSink.h"
#include "WordView.h"
#include "ui_PlayerView.h"

#include <QDebug>
#include <QFileInfo>
#include <QGraphicsDropShadowEffect>
#include <QGraphicsScene>
#include <QGraphicsVideoItem>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTime>

namespace {
constexpr int kFirstToolBarDelayMs = 4000;
constexpr int kToolBarDelayMs = 3000;
constexpr int kPositionIntervalMs = 40;

void addShadow(QWidget* widget) {
    auto* shadow = new QGraphicsDropShadowEffect(widget);
    shadow->setOffset(5, 5);
    shadow->setColor(QColor(0, 0, 0, 255));
    shadow->setBlurRadius(50);
    widget->setGraphicsEffect(shadow);
}
} // namespace

PlayerView::PlayerView(bool fullWindow, QWidget* parent)
    : QGraphicsView(parent), ui(std::make_unique<Ui::PlayerView>()), m_fullWindow(fullWindow) {
    MediaBackend::configure(); // before GStreamer starts, which reads it
    TempoSink::install();           // before the first player, which reads it
    m_scene = new QGraphicsScene(this);
    m_videoItem = new QGraphicsVideoItem;
    m_videoPlayer = new QMediaPlayer(this);
    m_audioPlayer = new QMediaPlayer(this);
    ui->setupUi(this);
    setScene(m_scene);
    m_scene->addItem(m_videoItem); // the scene owns the item from here on
    // The item's surface goes to the player at once. Given the item itself,
    // the player would get it only at the item's first paint and then rebuild
    // a pipeline that may already stream, stopping its HTTP source mid-stream,
    // which crashes GStreamer's source now and then.
    m_videoPlayer->setVideoOutput(m_videoItem->videoSurface());
    // A sentence loop is only as tight as the position reports are frequent.
    m_videoPlayer->setNotifyInterval(kPositionIntervalMs);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    layout()->setContentsMargins(0, 0, 0, 0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    setStyleSheet(
        styleSheet() +
        QStringLiteral("\nQGraphicsView#PlayerView{background-color: rgba(0, 0, 0, 0.2);}"));
    ui->btnPrev->hide();
    ui->btnNext->hide();
    if (m_fullWindow)
        setUpFullWindow();
    else
        setUpEmbedded();
    m_toolBarTimer = startTimer(kFirstToolBarDelayMs);
    connectPlayer();
    if (m_fullWindow)
        connectFullWindow();
    else
        connectEmbedded();
}

PlayerView::~PlayerView() {
    // stop() only pauses GStreamer's pipeline, whose HTTP source streams on;
    // the player's destructor would then take the video output out of that
    // live pipeline and crash it now and then. Without media the pipeline is
    // stopped for good, its threads ended, before anything is taken apart.
    for (QMediaPlayer* player : {m_videoPlayer, m_audioPlayer}) {
        player->stop();
        player->setMedia(QMediaContent());
    }
    delete m_videoPlayer;
    delete m_audioPlayer;
    delete m_videoItem;
    delete m_scene;
}

void PlayerView::setUpFullWindow() {
    addShadow(ui->en);
    addShadow(ui->cn);
    delete ui->tool0;
    ui->tool0 = nullptr;
    ui->btnPlay0 = nullptr;
    ui->timeCur = nullptr;
    ui->slider0 = nullptr;
    ui->timeTotal = nullptr;
    ui->btnFullScreen = nullptr;
}

void PlayerView::setUpEmbedded() {
    delete ui->title;
    delete ui->tool1;
    delete ui->en;
    delete ui->cn;
    // The form's pointers to what is gone are cleared, children included.
    ui->title = ui->tool1 = nullptr;
    ui->btnMain = ui->btnMin = ui->btnRestore = ui->btnClose = nullptr;
    ui->desc = ui->time = ui->cn = nullptr;
    ui->btnPlay1 = ui->btnSingle = ui->btnZY = nullptr;
    ui->slider1 = nullptr;
    ui->en = nullptr;
}

void PlayerView::connectPlayer() {
    connect(m_videoPlayer, &QMediaPlayer::durationChanged, this, &PlayerView::onDurationChanged);
    connect(m_videoPlayer, &QMediaPlayer::positionChanged, this, &PlayerView::onPositionChanged);
    connect(m_videoPlayer, &QMediaPlayer::stateChanged, this, &PlayerView::onStateChanged);
    connect(m_videoPlayer, &QMediaPlayer::mediaStatusChanged, this,
            &PlayerView::onMediaStatusChanged);
}

void PlayerView::connectFullWindow() {
    connect(ui->btnPlay1, &QPushButton::clicked, this, &PlayerView::onClickPlay);
    connect(ui->slider1, &PlayerPositionSlider::MousePress, this, &PlayerView::onSliderPress);
    connect(ui->btnMain, &QPushButton::clicked, this, &PlayerView::ClickClose);
    connect(ui->btnClose, &QPushButton::clicked, this, &PlayerView::ClickClose);
    connect(ui->btnMin, &QPushButton::clicked, this, &PlayerView::ClickMin);
    connect(ui->btnRestore, &QPushButton::clicked, this, &PlayerView::ClickRestore);
    connect(ui->btnPrev, &QPushButton::clicked, this, &PlayerView::onClickPrev);
    connect(ui->btnNext, &QPushButton::clicked, this, &PlayerView::onClickNext);
    connect(ui->btnSingle, &QPushButton::clicked, this, &PlayerView::onClickSingle);
    connect(ui->btnZY, &QPushButton::clicked, this, &PlayerView::onClickZY);
    connect(ui->en, &EnText::QueryWord, this, &PlayerView::onQueryWord);
}

void PlayerView::connectEmbedded() {
    connect(ui->btnPlay0, &QPushButton::clicked, this, &PlayerView::onClickPlay);
    connect(ui->slider0, &PlayerPositionSlider::MousePress, this, &PlayerView::onSliderPress);
    connect(ui->btnFullScreen, &QPushButton::clicked, this, &PlayerView::onClickFullScreen);
}

QUrl PlayerView::toUrl(const QVariant& url) {
    if (url.type() == QVariant::Url) {
        const QUrl given = url.toUrl();
        return given.isLocalFile() && QFileInfo(given.toLocalFile()).isRelative()
                   ? QUrl::fromLocalFile(QFileInfo(given.toLocalFile()).absoluteFilePath())
                   : given;
    }
    const QString text = url.toString();
    if (text.isEmpty())
        return {};
    const QUrl parsed(text);
    const QString scheme = parsed.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return parsed;
    // GStreamer wants absolute file URLs; a working-folder name is resolved here.
    const QString path = scheme == QLatin1String("file") ? parsed.toLocalFile() : text;
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
}

QString PlayerView::clock(qint64 ms) {
    return QTime(0, 0).addMSecs(int(ms)).toString(QStringLiteral("hh:mm:ss"));
}

void PlayerView::setVideoUrl(const QVariant& url) {
    m_videoUrl = toUrl(url);
    m_videoPlayer->pause();
    m_videoPlayer->setMedia(m_videoUrl);
    m_videoPlayer->play();
    m_playState = Playing;
}

void PlayerView::setAudioUrl(const QVariant& url) {
    m_audioPlayer->stop();
    m_audioPlayer->setMedia(toUrl(url));
    m_audioPlayer->play();
}

void PlayerView::loadSubtitles(const QString& path) {
    m_sentences = SubtitleParser::parseFile(path);
}

void PlayerView::setSentences(const QVariant& sentences) {
    m_sentences = sentences;
}

QVariantMap PlayerView::sentence(int index) const {
    return m_sentences.toList().value(index).toMap();
}

void PlayerView::playSentence(bool single, int index) {
    // Callers pass a record row or 0; with no such sentence (a clip without
    // subtitles) there is nothing to loop or to restart from.
    if (index < 0 || index >= sentenceCount())
        return;
    const qint64 start = SentenceTime::toMs(sentence(index).value("start").toString(), 0);
    if (single) {
        m_loopStart = start;
        m_loopEnd = SentenceTime::toMs(sentence(index).value("stop").toString(), 0);
        m_currentIndex = index;
        m_loop = true;
    } else {
        m_loopStart = m_loopEnd = 0;
        m_currentIndex = 0;
        m_loop = false;
    }
    setPosition(start);
    startPlaying();
}

void PlayerView::reloadIfEnded() {
    // After the end of the clip the pipeline does not play or seek again
    // ("Internal data stream error", a black stopped player): it starts
    // afresh from the same media.
    const QMediaPlayer::MediaStatus status = m_videoPlayer->mediaStatus();
    if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
        m_videoPlayer->setMedia(m_videoPlayer->media());
}

void PlayerView::startPlaying() {
    reloadIfEnded();
    m_videoPlayer->play();
}

void PlayerView::onMediaStatusChanged(QMediaPlayer::MediaStatus status) {
    // A looped sentence that runs to the end of the clip starts again.
    if (status == QMediaPlayer::EndOfMedia && m_loop) {
        setPosition(m_loopStart);
        startPlaying();
    }
}

void PlayerView::play() {
    startPlaying();
    m_playState = Playing;
}

void PlayerView::pause() {
    m_videoPlayer->pause();
    m_playState = Paused;
}

void PlayerView::stop() {
    m_videoPlayer->stop();
    m_playState = Stopped;
}

void PlayerView::setMuted(bool muted) {
    m_videoPlayer->setMuted(muted);
}

void PlayerView::setPlaybackRate(qreal rate) {
    m_videoPlayer->setPlaybackRate(rate);
}

qreal PlayerView::playbackRate() const {
    return m_videoPlayer->playbackRate();
}

void PlayerView::setPosition(qint64 ms) {
    reloadIfEnded();
    m_videoPlayer->setPosition(ms);
}

void PlayerView::setDesc(const QString& text) {
    if (ui->desc)
        ui->desc->setText(text);
}

void PlayerView::showWord(const QVariant& result) {
    // The card is a window of its own and deletes itself when closed.
    auto* card = new WordView;
    card->setWord(result.toMap());
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->geometry() : QRect();
    card->move((desktop.width() - card->width()) / 2, (desktop.height() - card->height()) / 2);
    card->show();
    m_wordView = card;
}

void PlayerView::onDurationChanged(qint64 duration) {
    m_duration = duration;
    const QString total = clock(duration);
    if (m_fullWindow) {
        ui->time->setText(QStringLiteral("00:00:00/") + total);
        ui->slider1->setMaximum(int(duration / 1000));
        ui->btnPlay1->setChecked(true);
    } else {
        ui->timeTotal->setText(total);
        ui->slider0->setMaximum(int(duration / 1000));
        ui->btnPlay0->setChecked(true);
    }
}

void PlayerView::onPositionChanged(qint64 position) {
    m_position = position;
    const QString current = clock(position);
    if (m_fullWindow) {
        const QString text = ui->time->text();
        ui->time->setText(current + text.mid(text.lastIndexOf(QLatin1Char('/'))));
        ui->slider1->setValue(int(position / 1000));
        showTextAt(position);
    } else {
        ui->timeCur->setText(current);
        ui->slider0->setValue(int(position / 1000));
    }
    if (m_loop && position >= m_loopEnd)
        m_videoPlayer->setPosition(m_loopStart);
}

int PlayerView::textIndexAt(const QVariantList& sentences, qint64 ms) {
    int result = KeepText;
    for (int i = 0; i < sentences.size(); ++i) {
        const QVariantMap sentence = sentences.at(i).toMap();
        const int start = SentenceTime::toMs(sentence.value("start").toString());
        const int stop = SentenceTime::toMs(sentence.value("stop").toString());
        if (start < ms && ms < stop)
            return i;
        if (stop < ms)
            result = ClearText;
    }
    return result;
}

void PlayerView::showTextAt(qint64 position) {
    const int index = textIndexAt(m_sentences.toList(), position);
    if (index == KeepText)
        return;
    const QVariantMap shown = index >= 0 ? sentence(index) : QVariantMap();
    const QString en = shown.value("en").toString();
    // Rewriting the same text would drop the learner's click position.
    if (ui->en->toPlainText() != en)
        ui->en->setPlainText(en);
    ui->cn->setText(shown.value("cn").toString());
}

void PlayerView::onStateChanged(QMediaPlayer::State state) {
    const bool playing = state == QMediaPlayer::PlayingState;
    for (QPushButton* button : {ui->btnPlay0, ui->btnPlay1}) {
        if (button)
            button->setChecked(playing);
    }
    if (state == QMediaPlayer::StoppedState && ui->en) {
        ui->en->clear();
        ui->cn->clear();
    }
}

void PlayerView::onClickPlay() {
    if (m_videoPlayer->state() == QMediaPlayer::PlayingState)
        m_videoPlayer->pause();
    else
        startPlaying();
}

void PlayerView::onSliderPress() {
    PlayerPositionSlider* slider = ui->tool0 ? ui->slider0 : ui->tool1 ? ui->slider1 : nullptr;
    if (slider)
        setPosition(qint64(slider->value()) * 1000);
}

void PlayerView::onClickSingle(bool checked) {
    m_loop = checked;
    ui->btnPrev->setVisible(checked);
    ui->btnNext->setVisible(checked);
    if (!checked)
        playSentence(false, 0);
    else if (m_currentIndex < sentenceCount())
        playSentence(true, 0);
}

void PlayerView::onClickPrev() {
    if (m_loop && m_currentIndex > 0)
        loopSentence(m_currentIndex - 1);
}

void PlayerView::onClickNext() {
    if (m_loop && m_currentIndex < sentenceCount() - 1)
        loopSentence(m_currentIndex + 1);
}

void PlayerView::loopSentence(int index) {
    m_currentIndex = index;
    qDebug() << "onClickNext index:" << index;
    m_loopStart = SentenceTime::toMs(sentence(index).value("start").toString(), 0);
    m_loopEnd = SentenceTime::toMs(sentence(index).value("stop").toString(), 0);
    setPosition(m_loopStart);
}

void PlayerView::onClickZY(bool checked) {
    ui->cn->setVisible(!checked);
}

void PlayerView::onQueryWord(const QString& word) {
    m_videoPlayer->pause();
    m_playState = Paused;
    emit QueryWord(word);
}

void PlayerView::onClickFullScreen(bool checked) {
    if (checked) {
        m_normalParent = parentWidget();
        setParent(nullptr);
        showFullScreen();
    } else if (m_normalParent) {
        setParent(m_normalParent);
        resize(m_normalParent->size());
        showNormal();
    }
}

void PlayerView::setToolBarsVisible(bool visible) {
    for (QWidget* bar : {ui->tool0, ui->tool1}) {
        if (bar)
            bar->setVisible(visible);
    }
}

void PlayerView::restartToolBarTimer(int ms) {
    if (m_toolBarTimer)
        killTimer(m_toolBarTimer);
    m_toolBarTimer = ms > 0 ? startTimer(ms) : 0;
}

void PlayerView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_toolBarTimer) {
        QGraphicsView::timerEvent(event);
        return;
    }
    restartToolBarTimer(0);
    setToolBarsVisible(false);
}

void PlayerView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->pos();
    if ((at.x() > 0 && at.x() < width()) || (at.y() > 0 && at.y() < height())) {
        setToolBarsVisible(true);
        restartToolBarTimer(kToolBarDelayMs);
    }
    QGraphicsView::mouseMoveEvent(event);
}

void PlayerView::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space) {
        QGraphicsView::keyPressEvent(event);
        return;
    }
    if (m_playState != Playing)
        play();
    else
        pause();
}

void PlayerView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    m_videoItem->setSize(size());
    m_scene->setSceneRect(0, 0, width(), height());
}
