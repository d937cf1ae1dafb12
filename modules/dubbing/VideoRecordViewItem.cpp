#include "VideoRecordViewItem.h"

#include "ChildProcess.h"
#include "EngineAudio.h"
#include "EngineDocuments.h"
#include "InputDevice.h"
#include "ScoreBadge.h"
#include "SentenceTime.h"
#include "SentenceTrack.h"
#include "TakeListPopup.h"
#include "TakeStore.h"
#include "Toast.h"
#include "UIUpdateThread.h"
#include "WordColors.h"
#include "ssound.h"
#include "ui_VideoRecordViewItem.h"

#include <QAudioProbe>
#include <QAudioRecorder>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <filesystem>
#include <system_error>

namespace {
// The capture pipeline needs this long at most to hand over the file after stop().
constexpr int kFinalizeLimitMs = 3000;
// A sentence track waits this long at most for its score.
constexpr int kTrackAfterScoreLimitMs = 2000;
// A conversion of one sentence that takes longer has hung.
constexpr int kConversionLimitMs = 30000;
constexpr int kToastMs = 3000;

// Replaces `to` by `from` in one step, so that `to` is always either the old
// or the new file, never a half of one.
bool moveOver(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), error);
    if (error)
        qDebug() << "VideoRecordViewItem: cannot keep the take:" << error.message().c_str();
    return !error;
}
} // namespace

VideoRecordViewItem::VideoRecordViewItem(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::VideoRecordViewItem>()) {
    ui->setupUi(this);
    ui->tips->hide();
    ui->score->hide();
    ui->play->hide();
    createEngine();
    createRecorder();
    createTrack();

    m_sentenceTimer = new QTimer(this);
    m_sentenceTimer->setSingleShot(true);
    connect(m_sentenceTimer, &QTimer::timeout, this, &VideoRecordViewItem::onSentenceTimer);
    m_trackAfterScore = new QTimer(this);
    m_trackAfterScore->setSingleShot(true);
    connect(m_trackAfterScore, &QTimer::timeout, this, &VideoRecordViewItem::startTrack);

    setUpPractice();

    connect(ui->record, &QPushButton::clicked, this, &VideoRecordViewItem::onClickRecord);
    connect(ui->play, &QPushButton::clicked, this, &VideoRecordViewItem::onClickPlay);
    connect(this, &VideoRecordViewItem::StartMix, this, &VideoRecordViewItem::onStartMix,
            Qt::QueuedConnection);
    connect(this, &VideoRecordViewItem::UpdateScore, this, &VideoRecordViewItem::onUpdateScore,
            Qt::QueuedConnection);
    connect(this, &VideoRecordViewItem::UpdateWordColor, this,
            &VideoRecordViewItem::onUpdateWordColor, Qt::QueuedConnection);
}

VideoRecordViewItem::~VideoRecordViewItem() {
    {
        // A result still owed to this row is no longer wanted.
        QMutexLocker lock(&m_resultMutex);
        m_evaluationId.clear();
    }
    // Rows are deleted with the list, possibly in the middle of a take: end
    // every worker first so that nothing calls back into a half-destroyed row.
    m_sentenceTimer->stop();
    stopProgress();
    for (QMediaPlayer* player : findChildren<QMediaPlayer*>()) {
        player->disconnect(this);
        delete player;
    }
    discardRecorder();
    QFile::remove(takeWavPath()); // a take that never completed; the last good one stays
    stopConversion();
    releaseEngine();
}

void VideoRecordViewItem::createRecorder() {
    m_recorder = new QAudioRecorder(this);
    m_probe = new QAudioProbe(this);
    m_probeActive = m_probe->setSource(m_recorder);
    connect(m_probe, &QAudioProbe::audioBufferProbed, this, &VideoRecordViewItem::onAudioProbed);
    connect(m_recorder, &QMediaRecorder::statusChanged, this,
            &VideoRecordViewItem::onRecorderStatus);
    connect(m_recorder, &QMediaRecorder::stateChanged, this,
            &VideoRecordViewItem::onRecorderStatus);
    // Queued: handling the error may replace the recorder that reports it.
    connect(
        m_recorder, QOverload<QMediaRecorder::Error>::of(&QMediaRecorder::error), this,
        [this, recorder = QPointer<QAudioRecorder>(m_recorder)](QMediaRecorder::Error) {
            if (recorder != m_recorder)
                return; // from a recorder already replaced
            qDebug() << "VideoRecordViewItem recorder error:" << m_recorder->errorString();
            if (m_take == Take::Finishing)
                completeTake();
            else if (m_take != Take::None)
                cancelTake();
        },
        Qt::QueuedConnection);
}

void VideoRecordViewItem::discardRecorder() {
    m_recorder->disconnect(this);
    delete m_probe;
    delete m_recorder; // tears the capture pipeline down before the file is touched
    m_probe = nullptr;
    m_recorder = nullptr;
}

void VideoRecordViewItem::createTrack() {
    m_track = new SentenceTrack(this);
    // Pending from the moment the take completes, before the queued steps run.
    connect(this, &VideoRecordViewItem::StartMix, m_track, &SentenceTrack::expect,
            Qt::DirectConnection);
    connect(m_track, &SentenceTrack::finished, this, [this](bool ok) {
        if (ok)
            m_recordMp3Path = m_track->path();
        emit TrackFinished(ok);
    });
}

bool VideoRecordViewItem::isTrackPending() const {
    return m_take != Take::None || m_track->isPending();
}

void VideoRecordViewItem::setSentence(const QVariantMap& sentence) {
    m_startMs = SentenceTime::toMs(sentence.value(QStringLiteral("start")).toString());
    m_stopMs = SentenceTime::toMs(sentence.value(QStringLiteral("stop")).toString());
    m_durationMs = qMax(m_stopMs, 0) - qMax(m_startMs, 0);
    m_index = sentence.value(QStringLiteral("index")).toString();
    m_bg = sentence.value(QStringLiteral("bg")).toString();
    ui->index->setText(QString::number(sentence.value(QStringLiteral("index")).toInt() + 1));
    ui->total->setText(QStringLiteral("/") + sentence.value(QStringLiteral("total")).toString());
    m_referenceText = sentence.value(QStringLiteral("en")).toString();
    ui->en->setText(m_referenceText);
    // Subtitles are text, whatever they look like; only scored words are markup.
    ui->en->setTextFormat(Qt::PlainText);
    ui->cn->setTextFormat(Qt::PlainText);
    ui->cn->setText(sentence.value(QStringLiteral("cn")).toString());
    ui->duration->setText(QString::number(m_durationMs / 1000.0, 'g', 6) + QStringLiteral("s"));
    // A range of 0..0 would turn the bar into a busy indicator.
    ui->progress->setRange(0, qMax(m_durationMs, 1));
    ui->progress->setValue(0);

    const bool recordable = m_durationMs > 0;
    ui->record->setEnabled(recordable);
    ui->tips->setVisible(!recordable);
    if (!recordable)
        ui->tips->setText(QStringLiteral("字幕时间有误，无法录音"));
}

bool VideoRecordViewItem::isRecording() const {
    return m_take == Take::Starting || m_take == Take::Capturing;
}

QString VideoRecordViewItem::recordWavPath() const {
    return QDir::currentPath() + QStringLiteral("/") + m_index + QStringLiteral("record.wav");
}

QString VideoRecordViewItem::takeWavPath() const {
    return QDir::currentPath() + QStringLiteral("/") + m_index + QStringLiteral("record.take.wav");
}

QString VideoRecordViewItem::scoringWavPath() const {
    return QDir::currentPath() + QStringLiteral("/") + m_index + QStringLiteral("test.wav");
}

QVariantMap VideoRecordViewItem::scores() const {
    QMutexLocker lock(&m_resultMutex);
    return m_scores;
}

void VideoRecordViewItem::onClickRecord() {
    if (m_take == Take::Finishing)
        return; // the sentence is complete; its file is being closed
    if (m_recorder->state() != QMediaRecorder::StoppedState) {
        stopByHand();
        return;
    }
    if (m_durationMs <= 0)
        return;
    startTake();
}

void VideoRecordViewItem::startTake() {
    // A take stopped by hand may still wait for its sentence length; the new
    // one replaces it.
    m_sentenceTimer->stop();
    stopProgress();
    stopPlayers();

    QAudioEncoderSettings audio;
    audio.setCodec(QStringLiteral("audio/x-raw"));
    audio.setSampleRate(16000);
    audio.setChannelCount(1);
    audio.setQuality(QMultimedia::VeryHighQuality);
    audio.setEncodingMode(QMultimedia::ConstantQualityEncoding);
    InputDevice::applyTo(m_recorder);
    m_recorder->setEncodingSettings(audio, QVideoEncoderSettings(), QStringLiteral("audio/x-wav"));
    m_recordLocation = QUrl::fromLocalFile(recordWavPath());
    m_recorder->setOutputLocation(QUrl::fromLocalFile(takeWavPath()));

    m_capturedUs = 0;
    ui->progress->setValue(0);
    m_take = Take::Starting;
    m_recorder->record();
    ui->play->hide();
}

void VideoRecordViewItem::stopByHand() {
    if (m_take == Take::Starting) {
        // Nothing was captured yet, but the file was already opened: no take.
        cancelTake();
        return;
    }
    m_take = Take::Stopped;
    m_recorder->stop();
    ui->play->show();
    emit StopRecord();
}

void VideoRecordViewItem::cancelTake() {
    const bool started = m_take == Take::Capturing;
    m_take = Take::None;
    m_sentenceTimer->stop();
    stopProgress();
    // A capture stopped before its first sample leaves the recorder unable to
    // report audio again; a fresh one also lets go of the file at once.
    discardRecorder();
    createRecorder();
    QFile::remove(takeWavPath());
    showTake();
    if (started)
        emit StopRecord();
}

void VideoRecordViewItem::showTake() {
    ui->play->setVisible(m_recorded);
    ui->progress->setValue(m_recorded ? ui->progress->maximum() : 0);
}

void VideoRecordViewItem::onAudioProbed(const QAudioBuffer& buffer) {
    if (!isRecording())
        return;
    if (m_take == Take::Starting)
        onCaptureStarted();
    // The probe hands over only the latest buffer when the interface thread
    // is busy, so the buffer's time stamp, not a sum of buffers, says how much
    // audio the file holds.
    const QAudioFormat format = buffer.format();
    m_capturedUs =
        qMax(m_capturedUs, buffer.startTime() + format.durationForFrames(buffer.frameCount()));
    if (capturedMs() >= m_durationMs)
        onTimerProc();
}

void VideoRecordViewItem::onRecorderStatus() {
    // Without a probe on this back end the recording status is the sign that
    // audio flows.
    if (m_take == Take::Starting && !m_probeActive &&
        m_recorder->status() == QMediaRecorder::RecordingStatus)
        onCaptureStarted();
    if (m_take == Take::Finishing && m_recorder->state() == QMediaRecorder::StoppedState &&
        m_recorder->status() != QMediaRecorder::FinalizingStatus)
        completeTake();
}

void VideoRecordViewItem::onCaptureStarted() {
    m_take = Take::Capturing;
    auto* progress = new UIUpdateThread(kProgressInterval, m_durationMs / kProgressInterval, this);
    connect(progress, &UIUpdateThread::updateProgress, this, &VideoRecordViewItem::onUpdateProgress,
            Qt::QueuedConnection);
    connect(progress, &QThread::finished, progress, &QObject::deleteLater);
    m_progress = progress;
    progress->start();
    m_sentenceTimer->start(m_durationMs);
    emit StartRecord();
}

qint64 VideoRecordViewItem::capturedMs() const {
    return m_capturedUs / 1000;
}

void VideoRecordViewItem::onSentenceTimer() {
    // Captured audio may trail the clock by a buffer or two; the probe ends
    // the take once the last of it has arrived.
    if (m_take == Take::Capturing && m_probeActive && capturedMs() < m_durationMs) {
        m_sentenceTimer->start(int(m_durationMs - capturedMs()) + kProgressInterval);
        return;
    }
    onTimerProc();
}

void VideoRecordViewItem::onUpdateProgress(int value) {
    if (m_take != Take::Capturing && m_take != Take::Stopped)
        return; // a tick queued before the take ended
    ui->progress->setValue(value);
    ui->progress->repaint();
    qDebug() << "VideoRecordViewItem::onUpdateProgress value:" << value;
}

void VideoRecordViewItem::onTimerProc() {
    if (m_take != Take::Capturing && m_take != Take::Stopped)
        return;
    m_sentenceTimer->stop();
    if (m_recorder->state() == QMediaRecorder::StoppedState) {
        completeTake();
        return;
    }
    // The file is complete only once the recorder has finalised it.
    m_take = Take::Finishing;
    const quint64 serial = ++m_finishSerial;
    m_recorder->stop();
    QTimer::singleShot(kFinalizeLimitMs, this, [this, serial] {
        if (m_take == Take::Finishing && serial == m_finishSerial)
            completeTake();
    });
    onRecorderStatus();
}

void VideoRecordViewItem::completeTake() {
    m_take = Take::None;
    stopProgress();
    if (!commitTake()) {
        failTake();
        return;
    }
    m_recorded = true;
    keepTake();
    emit StopRecord();
    emit StartPlay();
    scoreRecording();
    emit StartMix();
    ui->play->show();
    ui->play->click();
    ui->progress->setValue(ui->progress->maximum());
}

bool VideoRecordViewItem::commitTake() {
    if (!QFileInfo(takeWavPath()).isFile())
        return false; // the recorder left nothing
    // The previous take's conversion may still read the file being replaced.
    stopConversion();
    return moveOver(takeWavPath(), recordWavPath());
}

void VideoRecordViewItem::failTake() {
    QFile::remove(takeWavPath());
    showTake();
    emit StopRecord();
    Toast::info(QStringLiteral("录音失败，请重试"), kToastMs);
}

void VideoRecordViewItem::stopProgress() {
    if (m_progress)
        m_progress->stopAndJoin();
}

void VideoRecordViewItem::stopPlayers() {
    for (QMediaPlayer* player : findChildren<QMediaPlayer*>())
        player->stop();
}

void VideoRecordViewItem::onClickPlay() {
    playRecording(m_recordLocation);
}

void VideoRecordViewItem::playRecording(const QUrl& location) {
    auto* player = new QMediaPlayer(this);
    connect(player, &QMediaPlayer::stateChanged, this, &VideoRecordViewItem::onStateChanged);
    auto finished = [this, player] {
        ui->play->setChecked(false);
        player->disconnect(this);
        player->deleteLater();
        emit StopPlay();
    };
    connect(player, &QMediaPlayer::stateChanged, this, [finished](QMediaPlayer::State state) {
        if (state == QMediaPlayer::StoppedState)
            finished();
    });
    // A missing or broken file never starts, so it would never report a stop.
    connect(player, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), this, finished);
    player->setMedia(location);
    player->setVolume(100);
    player->play();
    emit StartPlay();
}

void VideoRecordViewItem::onStateChanged(QMediaPlayer::State) {}

void VideoRecordViewItem::onStartMix() {
    // The sentence's track and its score both want the processor, and the
    // badge is what the learner waits for: the track follows the score, or
    // a moment later at the latest. The preview waits for the track anyway.
    if (m_scoring) {
        m_trackAfterScore->start(kTrackAfterScoreLimitMs);
        return;
    }
    startTrack();
}

void VideoRecordViewItem::startTrack() {
    m_trackAfterScore->stop();
    m_track->start(m_index, m_startMs);
}

void VideoRecordViewItem::onUpdateScore() {
    QVariantMap scores;
    QVariantList words;
    {
        QMutexLocker lock(&m_resultMutex);
        if (!m_evaluationId.isEmpty())
            return; // a newer take is being scored; its result decides
        scores = m_scores;
        words = m_words;
    }
    m_scoring = false;
    if (m_trackAfterScore->isActive())
        startTrack();
    m_resultTake = m_scoringTake;
    m_scoringTake = 0;
    if (m_takes && m_resultTake > 0) {
        m_takes->setScore(sentence(), m_resultTake, scores, words);
        const int chosen = m_takes->chosen(sentence());
        if (chosen > 0 && chosen != m_resultTake) {
            // A better take stays in the dub; the row says what this one got.
            takeChosen(chosen);
            if (m_member)
                showTips(QStringLiteral("本遍%1分，保留第%2遍")
                             .arg(scores.value(QStringLiteral("overall")).toInt())
                             .arg(chosen));
            return;
        }
    }
    showScores(scores);
}

void VideoRecordViewItem::showScores(const QVariantMap& scores) {
    const int overall = scores.value(QStringLiteral("overall")).toInt();
    ui->score->setStyleSheet(QStringLiteral("QWidget#score{border-image: url(%1);border:none;}")
                                 .arg(ScoreBadge::imageFor(overall, m_member, ScoreBadge::Row)));
    ui->score->show();
    ui->value->setText(ScoreBadge::showsNumber(overall, m_member) ? QString::number(overall)
                                                                  : QString());
    if (m_member)
        ui->tips->hide();
    else
        showTips(QStringLiteral("成为会员，享无限次评分"));
}

void VideoRecordViewItem::onUpdateWordColor(QVariant map) {
    if (isSuperseded())
        return;
    // The colours of a take that did not make it into the dub are not shown.
    if (m_takes && m_resultTake > 0 && m_takes->chosen(sentence()) != m_resultTake)
        return;
    showWords(map.toList());
}

void VideoRecordViewItem::showWords(const QVariantList& words) {
    m_shownWords = words;
    ui->en->setTextFormat(Qt::RichText);
    ui->en->setText(WordColors::linkedText(words, m_member));
}

void VideoRecordViewItem::onWordLink(const QString& link) {
    const QString word = WordColors::wordAt(m_shownWords, link);
    if (!word.isEmpty())
        emit QueryWord(word);
}

void VideoRecordViewItem::showTips(const QString& text) {
    ui->tips->setText(text);
    ui->tips->show();
}

bool VideoRecordViewItem::isSuperseded() const {
    QMutexLocker lock(&m_resultMutex);
    return !m_evaluationId.isEmpty();
}

void VideoRecordViewItem::createEngine() {
    releaseEngine();
    m_engine = ssound_new(EngineDocuments::configuration().constData());
    if (!m_engine)
        qDebug() << "ssound_new error!";
}

void VideoRecordViewItem::releaseEngine() {
    if (!m_engine)
        return;
    // Waits for a result being worked out; none reaches the row any more.
    if (ssound_delete(m_engine) != 0)
        qDebug() << "ssound_delete error!";
    else
        m_engine = nullptr;
}

void VideoRecordViewItem::scoreRecording() {
    stopConversion();
    if (!m_engine) {
        m_scoring = false;
        showTips(QStringLiteral("暂时无法评分"));
        return;
    }
    const QByteArray parameters = EngineDocuments::parameters(m_referenceText);
    char id[64] = {};
    {
        // Held across the start: the result of an evaluation this one
        // supersedes may arrive meanwhile and is told apart by its id.
        QMutexLocker lock(&m_resultMutex);
        ssound_start(m_engine, parameters.constData(), id, &VideoRecordViewItem::onEngineResult,
                     this);
        m_evaluationId = QString::fromLatin1(id);
    }
    m_scoring = !m_evaluationId.isEmpty();
    if (!m_scoring) {
        showTips(QStringLiteral("暂时无法评分"));
        return;
    }
    showTips(QStringLiteral("评分中…"));

    const QByteArray ready = EngineAudio::readIfReady(recordWavPath());
    if (!ready.isEmpty()) {
        feedEngine(ready);
        return;
    }
    // The engine takes 16 kHz mono; every row converts into its own file, so
    // rows finishing together never feed each other's audio.
    QFile::remove(scoringWavPath());
    auto* conversion = ChildProcess::start(
        QStringLiteral("ffmpeg"),
        {"-y", "-i", recordWavPath(), "-ac", "1", "-ar", "16000", m_index + "test.wav"}, this);
    m_conversion = conversion;
    QTimer::singleShot(kConversionLimitMs, conversion, [conversion] {
        conversion->kill(QStringLiteral("ffmpeg did not finish in time"));
    });
    connect(conversion, &ChildProcess::done, this, &VideoRecordViewItem::onConverted);
}

void VideoRecordViewItem::stopConversion() {
    if (!m_conversion)
        return;
    m_conversion->disconnect(this);
    delete m_conversion; // kills the process
}

void VideoRecordViewItem::onConverted(bool ok, const QString& error) {
    m_conversion = nullptr;
    QFile file(scoringWavPath());
    QByteArray audio;
    if (ok && file.open(QIODevice::ReadOnly))
        audio = file.readAll();
    else
        qDebug() << "convertForScoring fail." << (ok ? file.errorString() : error);
    feedEngine(audio);
}

void VideoRecordViewItem::feedEngine(const QByteArray& audio) {
    if (!audio.isEmpty() && ssound_feed(m_engine, audio.constData(), audio.size()) != 0)
        qDebug() << "ssound_feed error!";
    // Without audio the engine answers with an error result, shown like any
    // score, so the row never stays waiting.
    if (ssound_stop(m_engine) != 0)
        qDebug() << "ssound_stop error!";
}

int VideoRecordViewItem::onEngineResult(const void* row, const char* id, int type,
                                        const void* message, int) {
    if (type != SSOUND_MESSAGE_JSON || !row)
        return 0;
    auto* self = static_cast<VideoRecordViewItem*>(const_cast<void*>(row));
    self->takeResult(QString::fromLatin1(id ? id : ""),
                     EngineDocuments::readMessage(static_cast<const char*>(message)));
    return 0;
}

void VideoRecordViewItem::takeResult(const QString& id, const QVariantMap& message) {
    {
        QMutexLocker lock(&m_resultMutex);
        if (id.isEmpty() || id != m_evaluationId)
            return; // a superseded take, or a row on its way out
        m_evaluationId.clear();
        m_scores = EngineDocuments::scoreRecord(message);
        m_words = EngineDocuments::words(message);
    }
    // Both are delivered queued: the badge and the colours change on the
    // interface thread.
    emit UpdateScore();
    emit UpdateWordColor(EngineDocuments::words(message));
}

void VideoRecordViewItem::setUpPractice() {
    ui->btnOriginal->setToolTip(QStringLiteral("听原句 (O)"));
    ui->btnCompare->setToolTip(QStringLiteral("对比：先听原句，再听我的录音 (C)"));
    ui->btnTakes->setToolTip(QStringLiteral("每一遍录音和得分，选一遍用于配音"));
    ui->record->setToolTip(QStringLiteral("录音 / 停止 (R)"));
    ui->play->setToolTip(QStringLiteral("听我的录音 (T)"));
    ui->widget_3->setToolTip(QStringLiteral("上一句 ↑ / 下一句 ↓"));
    ui->btnCompare->setEnabled(false);
    ui->btnTakes->setEnabled(false);
    ui->en->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(ui->en, &QLabel::linkActivated, this, &VideoRecordViewItem::onWordLink);
    connect(ui->btnOriginal, &QPushButton::clicked, this, &VideoRecordViewItem::ClickOriginal);
    connect(ui->btnCompare, &QPushButton::clicked, this, &VideoRecordViewItem::ClickCompare);
    connect(ui->btnTakes, &QPushButton::clicked, this, &VideoRecordViewItem::showTakes);
}

void VideoRecordViewItem::setTakeStore(TakeStore* store) {
    m_takes = store;
    if (!store)
        return;
    auto refresh = [this] {
        const int count = m_takes->takes(sentence()).size();
        ui->btnTakes->setEnabled(count > 0);
        ui->btnTakes->setText(count > 0 ? QStringLiteral("录音记录 %1").arg(count)
                                        : QStringLiteral("录音记录"));
        ui->btnCompare->setEnabled(m_recorded);
    };
    connect(store, &TakeStore::changed, this, [this, refresh](int changed) {
        if (changed == sentence())
            refresh();
    });
    refresh();
    // The sentence was recorded before: its chosen take is the recording
    // again, with the score it had.
    const int chosen = store->chosen(sentence());
    // Its sentence track is made when the preview needs it, not for every
    // row of the clip at once.
    if (chosen > 0)
        takeChosen(chosen, false);
}

void VideoRecordViewItem::keepTake() {
    m_scoringTake = m_takes ? m_takes->add(sentence(), recordWavPath()) : 0;
    ui->btnCompare->setEnabled(true);
}

// The take goes into the dub: it becomes <index>record.wav, its score the
// row's, and the sentence track is made from it.
void VideoRecordViewItem::takeChosen(int number, bool makeTrack) {
    const TakeStore::Take take = m_takes->take(sentence(), number);
    if (!TakeStore::copyOver(m_takes->audioPath(sentence(), number), recordWavPath())) {
        Toast::info(QStringLiteral("无法使用这一遍录音，请重试"), kToastMs);
        return;
    }
    m_recordLocation = QUrl::fromLocalFile(recordWavPath());
    m_recorded = true;
    m_resultTake = number;
    showTake();
    ui->btnCompare->setEnabled(true);
    if (makeTrack)
        emit StartMix();
    if (!take.scored) {
        // Its result never came (the client closed while it was scored).
        m_scoringTake = number;
        scoreRecording();
        return;
    }
    {
        QMutexLocker lock(&m_resultMutex);
        m_scores = take.scores;
    }
    showScores(take.scores);
    showWords(take.words);
}

bool VideoRecordViewItem::isBusy() const {
    return m_take != Take::None || m_scoring;
}

bool VideoRecordViewItem::chooseTake(int number) {
    if (!m_takes || isBusy())
        return false;
    if (m_takes->chosen(sentence()) == number)
        return true;
    if (!m_takes->choose(sentence(), number))
        return false;
    stopPlayers();
    takeChosen(number);
    return true;
}

void VideoRecordViewItem::playTake(int number) {
    if (!m_takes || m_take != Take::None)
        return;
    stopPlayers();
    playRecording(QUrl::fromLocalFile(m_takes->audioPath(sentence(), number)));
}

void VideoRecordViewItem::stopPlayback() {
    stopPlayers();
}

void VideoRecordViewItem::showTakes() {
    if (!m_takes)
        return;
    if (!m_takeList)
        m_takeList = new TakeListPopup(this);
    m_takeList->popUp(ui->btnTakes);
}
