#include "TeachView.h"

#include "PlayerView.h"
#include "WordView.h"
#include "ui_TeachView.h"

#include <QApplication>
#include <QMediaPlayer>
#include <QMouseEvent>
#include <memory>

TeachView::TeachView(const QVariant& content, QWidget* parent)
    : Widget(parent), m_ui(std::make_unique<Ui::TeachView>()) {
    m_ui->setupUi(this);
    setupWindow();
    m_player = new PlayerView(true, m_ui->widget);
    m_ui->widget->installEventFilter(this);
    connectPlayer();
    setWindowModality(Qt::ApplicationModal);
    load(content.toMap());
}

TeachView::~TeachView() {
    closeWordCards();
}

void TeachView::setupWindow() {
    setFrameLess(true);
    // No drop shadow around the panel: it fills the window, so a shadow would
    // fall outside it and never show, while the effect renders every video
    // frame through a blur (measured: twice the CPU time of playback).
    setMoveable(true);
    m_ui->widget->setAttribute(Qt::WA_StyledBackground, true);
}

void TeachView::connectPlayer() {
    connect(m_player, &PlayerView::ClickMin, this, &QWidget::showMinimized);
    connect(m_player, &PlayerView::ClickRestore, this, &TeachView::onClickRestore);
    connect(m_player, &PlayerView::ClickClose, this, &TeachView::CloseTeach);
    connect(m_player, &PlayerView::QueryWord, this, &TeachView::QueryWord);
}

void TeachView::load(const QVariantMap& content) {
    m_player->setSentences(content.value(QStringLiteral("srt")));
    m_player->setDesc(content.value(QStringLiteral("title")).toString());
    m_player->setVideoUrl(content.value(QStringLiteral("url")));
    seekOnceLoaded(content.value(QStringLiteral("pos")).toLongLong());
}

void TeachView::seekOnceLoaded(qint64 position) {
    if (position <= 0)
        return;
    // A seek before the clip is loaded, or even as it becomes seekable, is
    // dropped by the player: it is made once the clip plays, so the lesson
    // goes on where the page was.
    QMediaPlayer* video = m_player->videoPlayer();
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(video, &QMediaPlayer::mediaStatusChanged, this,
                    [this, video, once, position](QMediaPlayer::MediaStatus status) {
                        if (status != QMediaPlayer::BufferedMedia || !video->isSeekable())
                            return;
                        disconnect(*once);
                        m_player->setPosition(position);
                    });
}

void TeachView::onClickRestore() {
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

void TeachView::onQueryWordSuccess(const QVariant& result) {
    m_player->showWord(result);
}

void TeachView::closeWordCards() {
    // The cards belong to the lesson; they are not left over the main window.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* card = qobject_cast<WordView*>(window); card && card->isVisible())
            card->close();
}

bool TeachView::eventFilter(QObject* watched, QEvent* event) {
    // The panel follows the window through the layout, which may only place
    // it after the window's own resize (going full screen before the first
    // show): the player follows the panel.
    if (watched == m_ui->widget && event->type() == QEvent::Resize)
        m_player->resize(m_ui->widget->size());
    return Widget::eventFilter(watched, event);
}

void TeachView::mousePressEvent(QMouseEvent* event) {
    if (isFullScreen()) // nothing to drag while the window covers the screen
        return QWidget::mousePressEvent(event);
    Widget::mousePressEvent(event);
}

void TeachView::closeEvent(QCloseEvent* event) {
    Widget::closeEvent(event);
    emit CloseTeach();
}
