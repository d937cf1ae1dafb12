#include "VideoView.h"

#include "CachedFile.h"
#include "DubAssembler.h"
#include "EngineWarmUp.h"
#include "PYProgress.h"
#include "PlayerView.h"
#include "PracticeBar.h"
#include "PracticeSettings.h"
#include "ScoreBadge.h"
#include "ScoreSummary.h"
#include "SentenceCompare.h"
#include "TakeStore.h"
#include "TaskView.h"
#include "Toast.h"
#include "UpdateThread.h"
#include "VideoRankLeftDelegate.h"
#include "VideoRankRightViewItem.h"
#include "VideoRecordViewItem.h"
#include "VideoRecordViewItemPreview.h"
#include "ui_VideoView.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPersistentModelIndex>
#include <QProgressBar>
#include <QStandardItemModel>

namespace {
constexpr int ToastMs = 3000;
constexpr double VideoAspect = 0.5625; // 16:9
} // namespace

VideoView::VideoView(QWidget* parent) : Widget(parent), m_ui(std::make_unique<Ui::VideoView>()) {
    m_ui->setupUi(this);
    setFrameLess(true);
    setOpaque();
    setMoveable(false);
    setFocusPolicy(Qt::ClickFocus);
    m_player = new PlayerView(false, m_ui->video);
    m_ui->video->installEventFilter(this);
    m_ui->listWidget->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_ui->btnSVIP->hide();
    connectButtons();
    m_assembler = new DubAssembler(this);
    connect(m_assembler, &DubAssembler::step, this,
            [this](const QString& title, int done, int total) {
                if (m_progress)
                    m_progress->showStep(title, done, total);
            });
    connect(m_assembler, &DubAssembler::finished, this, &VideoView::onDubAssembled);
    setUpPractice();
    EngineWarmUp::start(); // ready before the learner starts dubbing
}

void VideoView::setUpPractice() {
    m_practice = new PracticeBar(m_ui->pageRecord);
    static_cast<QBoxLayout*>(m_ui->pageRecord->layout())->insertWidget(0, m_practice);
    connect(m_practice, &PracticeBar::RateChosen, this, &VideoView::onRateChosen);
    connect(m_practice, &PracticeBar::StartOver, this, &VideoView::onStartOver);
    m_compare = new SentenceCompare(m_player, this);
    connect(m_compare, &SentenceCompare::stepChanged, this, &VideoView::showCompareStep);
    auto* keys = new PracticeKeys(
        this, [this] { return isVisible() && m_ui->sw->currentIndex() == PageRecord; });
    connect(keys, &PracticeKeys::pressed, this, &VideoView::onPracticeKey);
}

VideoView::~VideoView() {
    // A running preview or upload ends with the page, before the rows it
    // waits for go and without reporting back; its window goes too.
    delete m_assembler;
    delete m_upload;
    m_progress.reset();
    // Rows that still record or play report to the player on their way out;
    // they go first, while the player is alive, and without reaching this page.
    m_compare->disconnect(this);
    m_compare->stop();
    clearList(m_ui->listWidget);
    clearList(m_ui->listRight);
    clearList(m_ui->listRight1);
    if (m_taskView)
        m_taskView->close();
    // A full-screen player has left the page's widget tree and would keep
    // playing in its own window after the page is gone.
    delete m_player;
}

void VideoView::connectButtons() {
    connect(m_ui->btnFavorite, &QPushButton::clicked, this, [this](bool checked) {
        if (checked)
            emit ClickFavorite();
        else
            emit ClickUnFavorite();
    });
    connect(m_ui->btnRecord, &QPushButton::clicked, this, &VideoView::ClickRecord);
    connect(m_ui->btnTask, &QPushButton::clicked, this, &VideoView::ClickTask);
    connect(m_ui->btnTeach, &QPushButton::clicked, this, [this] {
        m_player->setMuted(true);
        emit ClickTeach(QVariantMap{{"url", m_player->videoUrl()},
                                    {"pos", m_player->position()},
                                    {"dur", m_player->duration()},
                                    {"srt", m_player->sentences()},
                                    {"title", m_ui->title->text()}});
    });
    connect(m_ui->listView, &QListView::clicked, this, &VideoView::onClickVideoRank);
    connect(m_ui->listRight, &QListWidget::clicked, this, &VideoView::onClickVideoRank);
    connect(m_ui->listWidget, &QListWidget::currentRowChanged, this,
            &VideoView::onCurrentIndexChanged);
    connect(m_ui->btnPublish, &QPushButton::clicked, this, &VideoView::onClickPublish);
    connect(m_ui->btnReturn, &QPushButton::clicked, this, &VideoView::ClickReturn);
    // The score page's membership offer leads to the purchase like the cover's.
    connect(m_ui->btnSVIP, &QPushButton::clicked, this, &VideoView::ClickSVIP);
}

QString VideoView::levelText(const QString& level) {
    if (level == QLatin1String("0.5"))
        return QStringLiteral("PreA0");
    return QStringLiteral("PreA") + level;
}

void VideoView::onStatusChanged(const QVariant& status) {
    m_status = status;
    const QString s = status.toString();
    if (s == QLatin1String("VIDEO_DETAIL")) {
        m_ui->left->show();
        setupRankStrip();
        m_ui->sw->setCurrentIndex(PageDetail);
    } else if (s == QLatin1String("VIDEO_OTHER")) {
        m_ui->left->hide();
        m_ui->listRight->setWordWrap(false);
        m_ui->listRight->setWrapping(false);
        m_ui->listRight->setFrameShape(QFrame::NoFrame);
        m_ui->listRight->setFocusPolicy(Qt::NoFocus);
        m_ui->listRight->setFlow(QListView::TopToBottom);
        m_ui->listRight->setViewMode(QListView::ListMode);
        m_ui->listRight->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_ui->sw->setCurrentIndex(PageOther);
    }
}

void VideoView::setupRankStrip() {
    if (m_rankModel)
        return;
    m_rankModel = new QStandardItemModel(this);
    QListView* strip = m_ui->listView;
    strip->setModel(m_rankModel);
    strip->setWordWrap(false);
    strip->setWrapping(false);
    strip->setFrameShape(QFrame::NoFrame);
    strip->setFocusPolicy(Qt::NoFocus);
    strip->setFlow(QListView::LeftToRight);
    strip->setViewMode(QListView::IconMode);
    strip->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* delegate = new VideoRankLeftDelegate(strip);
    strip->setItemDelegate(delegate);
    connect(this, &VideoView::sizeChanged, delegate, &VideoRankLeftDelegate::onSizeChanged);
}

void VideoView::onTitleChanged(const QVariant& title) {
    m_ui->title->setText(title.toString());
}

void VideoView::onLevelChanged(const QVariant& level) {
    const QString text = level.toString();
    if (text != QLatin1String("0"))
        m_ui->level->setText(levelText(text));
    m_ui->start->setStyleSheet(QStringLiteral("border-image: url(:/images/level%1.png)").arg(text));
}

void VideoView::onOverviewChanged(const QVariant& overview) {
    m_ui->overview->setPlainText(
        overview.toString() + QLatin1Char('\n') +
        QStringLiteral("本视频仅供免费学习使用！如需观看完整版，请支持正版！"));
}

void VideoView::onUrlChanged(const QVariant& url) {
    m_player->setVideoUrl(url);
}

void VideoView::onSrtChanged(const QVariant& url) {
    m_srtUrl = url.toString();
    CachedFile::fetch(
        url.toString(), this, [this](const QString& path) { m_player->loadSubtitles(path); }, false,
        CachedFile::Kind::Text);
}

void VideoView::onVideoDetailChanged(const QVariant& clip) {
    m_clip = clip.toMap();
    // The sentence rows read the background track from its local copy.
    CachedFile::fetch(
        m_clip.value("audio").toString(), this,
        [this](const QString& path) { m_clip.insert("audio", path); }, false,
        CachedFile::Kind::Media);
}

void VideoView::onSVIPChanged(const QVariant& vip) {
    if (vip.toInt() < 1)
        return;
    showCover();
    m_player->pause();
}

void VideoView::showCover() {
    if (!m_cover) {
        m_cover = new QWidget(m_ui->video);
        m_cover->setObjectName(QStringLiteral("svipCover"));
        m_cover->setAttribute(Qt::WA_StyledBackground);
        m_cover->setStyleSheet(
            QStringLiteral("QWidget#svipCover{background-color: rgba( 0, 0, 0, 0.5 );"
                           "                                   border-radius: 10px;}"));
        auto* label = new QLabel(QStringLiteral("开通SVIP畅享所有视频"), m_cover);
        label->setObjectName(QStringLiteral("labelSVIP"));
        label->setFixedSize(180, 22);
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(QStringLiteral(
            "font-size:16px;font-weight:bold;color:qlineargradient(x1:0,y1:0,x2:1,y2:0,"
            "stop:0 rgba(252,229,202,1),stop:1 rgba(255,207,150,1));background:transparent;"));
        auto* button = new QPushButton(QStringLiteral("开通SVIP"), m_cover);
        button->setObjectName(QStringLiteral("btnOpenSVIP"));
        button->setFixedSize(160, 38);
        button->setCursor(Qt::PointingHandCursor);
        button->setStyleSheet(QStringLiteral(
            "color:#8F561F;font-size:15px;font-weight:bold;border:none;border-radius:19px;"
            "background:qlineargradient(x1:0,y1:0,x2:1,y2:0,stop:0 rgba(252,229,202,1),"
            "stop:1 rgba(255,207,150,1));"));
        connect(button, &QPushButton::clicked, this, &VideoView::ClickSVIP);
    }
    fitVideo();
    m_cover->raise();
    m_cover->show();
}

void VideoView::onRankChanged(const QVariant& rank) {
    m_rank = rank.toList();
    // The ranking asked for after publishing lists the new dub.
    if (m_ui->sw->currentIndex() == PageSuccess)
        onUpdateRightRankPublishSuccess();
    if (m_status.toString() == QLatin1String("VIDEO_OTHER")) {
        onUpdateRightRank();
        return;
    }
    if (!m_rankModel)
        return;
    // A repeated announcement replaces the strip instead of adding to it.
    m_rankModel->clear();
    for (int i = 0; i < m_rank.size(); ++i) {
        QVariantMap entry = m_rank.at(i).toMap();
        const QString url = entry.value("avatar").toString();
        // Pictures are read by content, so the cached name needs no picture suffix.
        const QString local = CachedFile::localPath(url);
        entry.insert("avatar", local);
        entry.insert("index", i);
        m_rank[i] = entry;
        auto* item = new QStandardItem;
        item->setData(entry, Qt::DisplayRole);
        m_rankModel->appendRow(item);
        if (url.isEmpty() || QFileInfo::exists(local))
            continue;
        QPersistentModelIndex index = m_rankModel->indexFromItem(item);
        CachedFile::fetch(url, this, [this, index, entry](const QString&) {
            if (index.isValid())
                m_rankModel->setData(index, entry, Qt::DisplayRole);
            m_ui->listView->viewport()->update();
        });
    }
}

void VideoView::onUpdateLeftRank() {}

void VideoView::onUpdateRightRank() {
    fillRankRows(m_ui->listRight);
}

void VideoView::onUpdateRightRankPublishSuccess() {
    fillRankRows(m_ui->listRight1);
    // The learner looks for the dub just published, wherever it ranks.
    const QString key = m_product.value("aacName").toString();
    for (int i = 0; !key.isEmpty() && i < m_rank.size(); ++i)
        if (m_rank.at(i).toMap().value("audio").toString().endsWith(QLatin1Char('/') + key))
            m_ui->listRight1->scrollToItem(m_ui->listRight1->item(i));
}

void VideoView::fillRankRows(QListWidget* list) {
    clearList(list);
    for (int i = 0; i < m_rank.size(); ++i) {
        QVariantMap entry = m_rank.at(i).toMap();
        entry.insert("index", i);
        auto* row = new VideoRankRightViewItem(list);
        row->setFixedWidth(list->width());
        row->setData(entry);
        auto* item = new QListWidgetItem(list);
        item->setSizeHint(row->size());
        list->setItemWidget(item, row);
        connect(row, &VideoRankRightViewItem::ClickVideoRank, this, &VideoView::ClickVideoRank);
    }
}

void VideoView::clearList(QListWidget* list) {
    // Rows go at once, not later: a row that records must not outlive its page.
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        QWidget* row = list->itemWidget(item);
        if (!row)
            continue;
        row->disconnect(this);
        list->removeItemWidget(item);
        delete row;
    }
    list->clear();
}

void VideoView::onUserInfoChanged(const QVariant& info) {
    const QVariantMap m = info.toMap();
    m_ui->name->setText(m.value("nickname").toString());
    m_ui->count->setText(m.value("my_shows").toString());
    m_ui->follower->setText(m.value("fans").toString());
    m_ui->follow->setText(m.value("follows").toString());
    m_ui->title->setText(m.value("title").toString());
    onLevelChanged(m.value("difficulty"));
    // The learner's dub: the clip's picture without its sound, and their voice.
    m_player->setVideoUrl(m.value("course_video_srt"));
    m_player->setMuted(true);
    m_player->setAudioUrl(m.value("audio"));
    CachedFile::fetch(m.value("avatar").toString(), this, [this](const QString& path) {
        m_ui->btnHead->setStyleSheet(
            QStringLiteral("border-image: url(%1);border-radius: 25px;").arg(path));
    });
    onUpdateRightRank();
}

void VideoView::onClassInfoChanged(const QVariant& groups) {
    if (m_taskView)
        m_taskView->close();
    m_taskView = new TaskView;
    m_taskView->setData(groups);
    connect(m_taskView, &TaskView::ClickAssignTask, this, &VideoView::ClickAssignTask);
    m_taskView->raise();
    m_taskView->show();
}

void VideoView::onIsRecordingChanged(const QVariant& recording) {
    m_compare->stop();
    clearList(m_ui->listWidget);
    m_sentenceRows = 0;
    if (recording.toBool()) {
        m_player->stop();
        m_rate = PracticeSettings::rate(clipKey());
        m_practice->setRate(m_rate);
        m_ui->sw->setCurrentIndex(PageRecord);
        m_ui->left->hide();
        buildRecordRows();
        return;
    }
    m_player->setPlaybackRate(1.0);
    m_player->playSentence(false, 0);
    m_player->setMuted(false);
    m_ui->sw->setCurrentIndex(PageDetail);
    m_ui->left->show();
}

void VideoView::buildRecordRows() {
    // The clip's takes as they are on disk now: read anew for every build.
    delete m_takes;
    m_takes = new TakeStore(clipKey(), this);
    const QVariantList sentences = m_player->sentences().toList();
    m_sentenceRows = sentences.size();
    for (int i = 0; i < sentences.size(); ++i)
        addRecordRow(sentences.at(i).toMap(), i, sentences.size());
    m_ui->listWidget->setCurrentRow(0);
    auto* preview = new VideoRecordViewItemPreview(m_ui->listWidget);
    preview->setSentenceCount(m_sentenceRows);
    preview->findChild<QPushButton*>(QStringLiteral("btnPreview"))
        ->setToolTip(QStringLiteral("预览配音 (Enter)"));
    auto* item = new QListWidgetItem(m_ui->listWidget);
    item->setSizeHint(preview->size());
    m_ui->listWidget->setItemWidget(item, preview);
    connect(preview, &VideoRecordViewItemPreview::ClickPreview, this, &VideoView::onClickPreview);
}

void VideoView::addRecordRow(const QVariantMap& sentence, int index, int total) {
    QVariantMap map = sentence;
    map.insert("index", index);
    map.insert("total", total);
    map.insert("bg", m_clip.value("audio"));
    auto* row = new VideoRecordViewItem(m_ui->listWidget);
    row->setSentence(map);
    row->setMember(m_member);
    row->setTakeStore(m_takes);
    auto* item = new QListWidgetItem(m_ui->listWidget);
    item->setSizeHint(row->size());
    m_ui->listWidget->setItemWidget(item, row);
    connect(row, &VideoRecordViewItem::StartRecord, this, &VideoView::onStartRecord);
    connect(row, &VideoRecordViewItem::StartPlay, this, &VideoView::onStartPlay);
    connect(row, &VideoRecordViewItem::StopRecord, this, &VideoView::onStopRecord);
    connect(row, &VideoRecordViewItem::StopPlay, this, &VideoView::onStopPlay);
    connect(row, &VideoRecordViewItem::ClickOriginal, this,
            [this, row] { playOriginal(row, false); });
    connect(row, &VideoRecordViewItem::ClickCompare, this,
            [this, row] { playOriginal(row, true); });
    connect(row, &VideoRecordViewItem::QueryWord, this, &VideoView::QueryWord);
    // A sentence being heard stops when recording starts, not a second later
    // when the microphone delivers.
    connect(row->findChild<QPushButton*>(QStringLiteral("record")), &QPushButton::clicked,
            m_compare, &SentenceCompare::stop);
}

QList<VideoRecordViewItem*> VideoView::recordRows() const {
    QList<VideoRecordViewItem*> rows;
    for (int i = 0; i < m_ui->listWidget->count(); ++i)
        if (auto* row = qobject_cast<VideoRecordViewItem*>(
                m_ui->listWidget->itemWidget(m_ui->listWidget->item(i))))
            rows << row;
    return rows;
}

void VideoView::onCurrentIndexChanged(int row) {
    qDebug() << "onCurrentIndexChanged: " << row;
    m_compare->stop();
    // Only sentence rows loop their part of the clip; the preview row does not.
    if (row >= 0 && row < m_sentenceRows) {
        m_player->setPlaybackRate(m_rate);
        m_player->playSentence(true, row);
    }
}

void VideoView::onClickPreview() {
    // One preview at a time, and none while its dub is being uploaded.
    if (m_assembler->isRunning() || m_upload)
        return;
    const QList<VideoRecordViewItem*> rows = recordRows();
    for (VideoRecordViewItem* row : rows) {
        if (!row->isRecorded()) {
            Toast::info(QStringLiteral("配音未完成!"), ToastMs);
            return;
        }
    }
    openProgress(QStringLiteral("正在处理录音"));
    m_assembler->start(rows, m_clip.value("audio").toString(), m_player->duration());
}

void VideoView::onDubAssembled(bool ok, const QString& product, const QString& error) {
    closeProgress();
    if (!ok) {
        Toast::info(error, ToastMs);
        return;
    }
    QList<QVariantMap> scores;
    for (VideoRecordViewItem* row : recordRows())
        scores << row->scores();
    const QVariantMap averages = ScoreSummary::average(scores);
    m_product = averages;
    m_product.insert("aacName", product);
    m_ui->btnPublish->setEnabled(true);
    showScorePage(averages);
    playDub();
}

// The clip without its sound and the learner's dub as its audio, both from
// the start, so every voice is heard on its picture.
void VideoView::playDub() {
    const QString product = m_product.value("aacName").toString();
    if (product.isEmpty())
        return;
    m_player->setPlaybackRate(1.0);
    m_player->playSentence(false, 0);
    m_player->setPosition(0);
    m_player->setMuted(true);
    m_player->setAudioUrl(QUrl::fromLocalFile(QDir::current().filePath(product)));
}

PYProgress* VideoView::openProgress(const QString& title) {
    m_progress = std::make_unique<PYProgress>();
    m_progress->showStep(title, 0, 0);
    m_progress->popUp(window());
    return m_progress.get();
}

void VideoView::closeProgress() {
    if (!m_progress)
        return;
    m_progress->hide();
    m_progress.release()->deleteLater(); // it may be in the middle of an event
}

void VideoView::showScorePage(const QVariantMap& averages) {
    const int overall = averages.value(QStringLiteral("overall")).toInt();
    m_ui->sw->setCurrentIndex(PagePublish);
    m_ui->score->show();
    m_ui->score->setStyleSheet(QStringLiteral("QWidget#score{border-image: url(%1);border:none;}")
                                   .arg(ScoreBadge::imageFor(overall, m_member, ScoreBadge::Page)));
    m_ui->btnSVIP->setVisible(!m_member);
    m_ui->value->setText(ScoreBadge::showsNumber(overall, m_member) ? QString::number(overall)
                                                                    : QString());
    if (!m_member)
        return;
    const struct {
        QProgressBar* bar;
        QLabel* label;
        const char* key;
    } rows[] = {{m_ui->accuracy, m_ui->accuracyValue, "accuracy"},
                {m_ui->fluency, m_ui->fluencyValue, "fluency"},
                {m_ui->integrity, m_ui->integrityValue, "integrity"}};
    for (const auto& row : rows) {
        const int value = averages.value(QLatin1String(row.key)).toInt();
        row.bar->setValue(value);
        row.label->setText(QString::number(value));
    }
}

void VideoView::onClickPublish() {
    if (m_upload || m_assembler->isRunning())
        return;
    const QString name = m_product.value("aacName").toString();
    const QString path = QDir::current().filePath(name);
    if (name.isEmpty() || !QFileInfo::exists(path)) {
        Toast::info(QStringLiteral("配音文件不存在，请重新预览"), ToastMs);
        return;
    }
    m_ui->btnPublish->setEnabled(false);
    PYProgress* progress = openProgress(QStringLiteral("配音合成中: 0%"));
    m_upload = new UpdateThread(
        {"-token", m_clip.value("uploadToken").toString(), "-local", path, "-key", name}, this);
    connect(m_upload, &UpdateThread::uploadProgress, progress, &PYProgress::onProgress);
    connect(m_upload, &UpdateThread::finished, this, &VideoView::onUploadFinished);
    m_upload->start();
    playDub();
}

// The dub is published only once the service holds its file; otherwise the
// file stays and publishing can be tried again.
void VideoView::onUploadFinished(bool ok, const QString& error) {
    closeProgress();
    if (m_upload)
        m_upload->deleteLater();
    m_upload = nullptr;
    if (!ok) {
        qDebug() << "publish stopped:" << error;
        Toast::info(QStringLiteral("上传失败，请重试"), ToastMs);
        m_ui->btnPublish->setEnabled(true);
        return;
    }
    emit ClickPublish(m_product);
}

void VideoView::onPublicSuccess() {
    m_ui->sw->setCurrentIndex(PageSuccess);
    onUpdateRightRankPublishSuccess();
}

void VideoView::onPublicFail() {
    m_ui->btnPublish->setEnabled(true);
}

void VideoView::onIsFavorited(bool favorited) {
    m_ui->btnFavorite->setChecked(favorited);
}

void VideoView::onClickSpace() {
    if (m_player->playState() != 0)
        m_player->play();
    else
        m_player->pause();
}

void VideoView::onQueryWordSuccess(const QVariant& word) {
    m_player->showWord(word);
}

void VideoView::onClickVideoRank(const QModelIndex& index) {
    // Rows drawn by a row widget carry no data of their own; the widget reports.
    const QVariant entry = index.data(Qt::DisplayRole);
    if (!entry.toMap().isEmpty())
        emit ClickVideoRank(entry);
}

void VideoView::onStartRecord() {
    m_compare->stop();
    onStartPlay();
}

// The clip runs silently with the learner's voice, at its own speed.
void VideoView::onStartPlay() {
    if (m_compare->step() == SentenceCompare::Step::Original)
        m_compare->stop();
    m_player->setPlaybackRate(1.0);
    m_player->setMuted(true);
    m_player->play();
}

void VideoView::onStopRecord() {
    onStopPlay();
}

void VideoView::onStopPlay() {
    m_player->setMuted(false);
    m_player->pause();
}

void VideoView::fitVideo() {
    QWidget* video = m_ui->video;
    // A full-screen player keeps the screen's size until it comes back.
    if (m_player->parentWidget() == video)
        m_player->resize(video->size());
    if (m_cover) {
        m_cover->resize(video->size());
        const QList<QWidget*> parts{m_cover->findChild<QLabel*>(),
                                    m_cover->findChild<QPushButton*>()};
        const int top = (video->height() - parts[0]->height() - 30 - parts[1]->height()) / 2;
        parts[0]->move((video->width() - parts[0]->width()) / 2, top);
        parts[1]->move((video->width() - parts[1]->width()) / 2, top + parts[0]->height() + 30);
    }
}

bool VideoView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->video && event->type() == QEvent::Resize)
        fitVideo();
    return Widget::eventFilter(watched, event);
}

void VideoView::resizeEvent(QResizeEvent* event) {
    Widget::resizeEvent(event);
    m_ui->video->setFixedHeight(int(m_ui->video->width() * VideoAspect));
    fitVideo();
}

void VideoView::showEvent(QShowEvent* event) {
    Widget::showEvent(event);
    m_ui->video->setFixedHeight(int(m_ui->video->width() * VideoAspect));
    fitVideo();
}

void VideoView::focusInEvent(QFocusEvent* event) {
    qDebug() << "focusInEvent";
    grabKeyboard();
    Widget::focusInEvent(event);
}

void VideoView::focusOutEvent(QFocusEvent* event) {
    qDebug() << "focusOutEvent";
    releaseKeyboard();
    Widget::focusOutEvent(event);
}

void VideoView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        onClickSpace();
        return;
    }
    Widget::keyPressEvent(event);
}

QString VideoView::clipKey() const {
    const QString course = m_clip.value("course_id").toString();
    if (!course.isEmpty())
        return course;
    // A clip known only by its subtitles (as in teaching hand-overs).
    const QString subtitles = QFileInfo(QUrl(m_srtUrl).path()).completeBaseName();
    return subtitles.isEmpty() ? QStringLiteral("clip") : subtitles;
}

VideoRecordViewItem* VideoView::currentRow() const {
    return qobject_cast<VideoRecordViewItem*>(
        m_ui->listWidget->itemWidget(m_ui->listWidget->currentItem()));
}

void VideoView::playOriginal(VideoRecordViewItem* row, bool thenTake) {
    if (!row || row->isRecording())
        return;
    // The same again stops it, as a play button does.
    const bool same = m_compare->row() == row && m_compare->comparing() == thenTake &&
                      m_compare->step() != SentenceCompare::Step::Idle;
    m_compare->stop();
    row->stopPlayback();
    if (!same)
        m_compare->play(row, m_rate, thenTake);
    showCompareStep(); // a button clicked on a row that cannot play unchecks again
}

void VideoView::showCompareStep() {
    const bool busy = m_compare->step() != SentenceCompare::Step::Idle;
    for (VideoRecordViewItem* row : recordRows()) {
        const bool mine = busy && row == m_compare->row();
        row->findChild<QPushButton*>(QStringLiteral("btnOriginal"))
            ->setChecked(mine && !m_compare->comparing());
        row->findChild<QPushButton*>(QStringLiteral("btnCompare"))
            ->setChecked(mine && m_compare->comparing());
    }
}

void VideoView::onPracticeKey(PracticeKeys::Key key) {
    QListWidget* list = m_ui->listWidget;
    VideoRecordViewItem* row = currentRow();
    switch (key) {
    case PracticeKeys::Record:
        if (row && row->findChild<QPushButton*>(QStringLiteral("record"))->isEnabled())
            row->findChild<QPushButton*>(QStringLiteral("record"))->click();
        break;
    case PracticeKeys::Original:
    case PracticeKeys::Compare:
        playOriginal(row, key == PracticeKeys::Compare);
        break;
    case PracticeKeys::Take:
        if (row && row->isRecorded() && !row->isRecording()) {
            m_compare->stop();
            row->stopPlayback();
            row->onClickPlay();
        }
        break;
    case PracticeKeys::Previous:
    case PracticeKeys::Next: {
        const int next = list->currentRow() + (key == PracticeKeys::Next ? 1 : -1);
        if (next >= 0 && next < list->count()) {
            list->setCurrentRow(next);
            list->scrollToItem(list->item(next));
        }
        break;
    }
    case PracticeKeys::Preview:
        onClickPreview();
        break;
    }
}

void VideoView::onRateChosen(double rate) {
    m_rate = rate;
    PracticeSettings::setRate(clipKey(), rate);
    // The sentence heard now slows down or speeds up at once; a take and
    // the clip under it keep their speed.
    if (!m_player->videoPlayer()->isMuted())
        m_player->setPlaybackRate(rate);
}

void VideoView::onStartOver() {
    // The rows a preview or an upload works on stay until it has ended.
    if (m_assembler->isRunning() || m_upload) {
        Toast::info(QStringLiteral("正在合成或上传配音，请稍后再清空"), ToastMs);
        return;
    }
    m_compare->stop();
    clearList(m_ui->listWidget);
    m_sentenceRows = 0;
    m_takes->clear();
    buildRecordRows();
    Toast::info(QStringLiteral("已清空这个视频的全部录音"), ToastMs);
}
