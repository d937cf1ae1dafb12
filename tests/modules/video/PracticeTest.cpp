// The record page's practice tools for real: a private PulseAudio whose
// default source is a null sink's monitor, tones and speech played into it,
// the page's sound captured from that monitor, and the real speech engine.
#include "AudioMatch.h"
#include "CachedFile.h"
#include "InputDevice.h"
#include "InputLevel.h"
#include "MediaBackend.h"
#include "PlayerView.h"
#include "PracticeBar.h"
#include "PracticeSettings.h"
#include "SentenceCompare.h"
#include "TakeStore.h"
#include "VideoRecordViewItem.h"
#include "VideoView.h"

#include <QAudioRecorder>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>
#include <algorithm>
#include <memory>

namespace {
const QString kSubtitles = QStringLiteral("http://127.0.0.1:1/media/practice.srt");
const char* kSentence = "I have never seen anything like this before";

bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A sine of `hz` with the peak `amplitude` (1 is full scale).
bool tone(const QString& path, double seconds, int hz, double amplitude) {
    return run("sox",
               {"-n", "-r", "44100", "-c", "1", "-b", "16", path, "synth", QString::number(seconds),
                "sine", QString::number(hz), "vol", QString::number(amplitude)});
}

double median(QVector<double> values) {
    if (values.isEmpty())
        return qQNaN();
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Everything the null sink plays, from start() to stop().
class Capture {
public:
    explicit Capture(const QString& name) : m_file(QDir::current().filePath(name + ".wav")) {}
    bool start() {
        m_recorder.start("parecord", {"--device=nullsink.monitor", "--rate=8000", "--channels=1",
                                      "--file-format=wav", m_file});
        if (!m_recorder.waitForStarted(5000))
            return false;
        QTest::qWait(500); // until its stream is open
        return m_recorder.state() == QProcess::Running;
    }
    QVector<float> stop() {
        m_recorder.terminate();
        m_recorder.waitForFinished(5000);
        return AudioMatch::decode(m_file);
    }

private:
    QString m_file;
    QProcess m_recorder;
};

QString describe(const QVector<AudioMatch::Span>& spans) {
    QStringList parts;
    for (const AudioMatch::Span& span : spans)
        parts << QStringLiteral("%1-%2").arg(span.fromMs).arg(span.toMs);
    return parts.join(", ");
}

QPushButton* button(QWidget* parent, const char* name) {
    return parent->findChild<QPushButton*>(QLatin1String(name));
}
} // namespace

class PracticeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void recordPageShowsThePracticeTools();
    void levelMeterReadsAKnownTone();
    void nothingHeardAndClippingAreWarned();
    void slowerOriginalKeepsItsPitch();
    void compareHearsTheSentenceThenTheTake();
    void keysStayQuietWhileTyping();
    void takesSurviveARestart();
    void chosenMicrophoneIsRecorded();

private:
    VideoView* openPage(const QVariantMap& clip = {});
    void play(const QString& file, const QString& sink = QString());
    bool recordWhole(VideoRecordViewItem* row, const QString& speech);

    std::unique_ptr<VideoView> m_view;
    QProcess m_player;
    QString m_speech;
    int m_sentenceMs = 0;
};

void PracticeTest::initTestCase() {
    // The clip: three tones of two seconds, so that every span of it can be
    // told by its pitch.
    const QString parts[] = {"p300.wav", "p500.wav", "p700.wav"};
    QVERIFY(tone(parts[0], 2, 300, 0.3) && tone(parts[1], 2, 500, 0.3) &&
            tone(parts[2], 2, 700, 0.3));
    QVERIFY(run("sox", {parts[0], parts[1], parts[2], "clip.wav"}));
    QVERIFY(tone("take.wav", 1, 900, 0.3));
    QVERIFY(tone("a440.wav", 2, 440, 0.3));
    QVERIFY(run("espeak-ng", {"-v", "en-us", "-s", "150", "-w", "speech.raw.wav", kSentence}));
    QVERIFY(
        run("sox", {"-R", "speech.raw.wav", "-r", "16000", "-c", "1", "-b", "16", "speech.wav"}));
    m_speech = QDir::current().filePath("speech.wav");
    m_sentenceMs = int(AudioMatch::seconds(AudioMatch::decode(m_speech)) * 1000) + 700;
    const QString stop = QTime(0, 0).addMSecs(2200 + m_sentenceMs).toString("hh:mm:ss,zzz");
    QDir().mkpath(CachedFile::folder());
    QFile srt(CachedFile::localPath(kSubtitles));
    QVERIFY(srt.open(QIODevice::WriteOnly));
    srt.write(QStringLiteral("1\n00:00:00,300 --> 00:00:01,700\nA low one\n第一句\n\n"
                             "2\n00:00:02,200 --> 00:00:03,800\nA middle one\n第二句\n\n"
                             "3\n00:00:02,200 --> %1\n%2\n第三句\n\n")
                  .arg(stop, kSentence)
                  .toUtf8());
}

void PracticeTest::init() {
    QDir("takes").removeRecursively();
    QFile::remove(PracticeSettings::path());
}

void PracticeTest::cleanup() {
    m_view.reset();
    m_player.kill();
    m_player.waitForFinished(3000);
}

VideoView* PracticeTest::openPage(const QVariantMap& clip) {
    m_view = std::make_unique<VideoView>();
    m_view->setMember(true);
    if (!clip.isEmpty())
        m_view->onVideoDetailChanged(clip);
    m_view->onSrtChanged(kSubtitles);
    m_view->onUrlChanged(QDir::current().filePath("clip.wav"));
    m_view->resize(1020, 600);
    m_view->show();
    m_view->onIsRecordingChanged(true);
    m_view->player()->pause(); // the sentence of the first row loops; quiet please
    return m_view.get();
}

void PracticeTest::play(const QString& file, const QString& sink) {
    QStringList arguments{file};
    if (!sink.isEmpty())
        arguments.prepend("--device=" + sink);
    m_player.start("paplay", arguments);
    QVERIFY(m_player.waitForStarted(5000));
}

void PracticeTest::recordPageShowsThePracticeTools() {
    // Two kept takes of the middle sentence, one of them scored better.
    {
        TakeStore store("practice");
        store.add(1, "take.wav");
        store.setScore(1, 1, {{"overall", 72}},
                       {QVariantMap{{"char", "A"}, {"score", 90}},
                        QVariantMap{{"char", "middle"}, {"score", 70}},
                        QVariantMap{{"char", "one"}, {"score", 40}}});
        store.add(1, "take.wav");
        store.setScore(1, 2, {{"overall", 88}},
                       {QVariantMap{{"char", "A"}, {"score", 95}},
                        QVariantMap{{"char", "middle"}, {"score", 82}},
                        QVariantMap{{"char", "one"}, {"score", 55}}});
    }
    VideoView* view = openPage();
    QCOMPARE(view->clipKey(), QStringLiteral("practice"));
    PracticeBar* bar = view->practiceBar();
    QVERIFY(bar->isVisible());
    QVERIFY(button(bar, "btnRate100")->isChecked());
    const QList<VideoRecordViewItem*> rows = view->recordRows();
    QCOMPARE(rows.size(), 3);
    QVERIFY(!button(rows[0], "btnCompare")->isEnabled()); // nothing to compare with yet
    QVERIFY(button(rows[0], "record")->toolTip().contains("(R)"));
    QVERIFY(button(rows[0], "btnOriginal")->toolTip().contains("(O)"));
    QVERIFY(button(rows[0], "play")->toolTip().contains("(T)"));
    // The middle sentence took up its best take.
    QVERIFY(rows[1]->isRecorded());
    QCOMPARE(rows[1]->scores().value("overall").toInt(), 88);
    QVERIFY(button(rows[1], "btnCompare")->isEnabled());
    QCOMPARE(button(rows[1], "btnTakes")->text(), QStringLiteral("录音记录 2"));

    auto* list = view->findChild<QListWidget*>("listWidget");
    list->setCurrentRow(1);
    list->scrollToItem(list->item(1));
    view->player()->pause();
    QTest::qWait(600); // the meter shows some level
    const QString artifacts = qEnvironmentVariable("LINTAVO_BIN_DIR") + "/../test-artifacts/video";
    QDir().mkpath(artifacts);
    QVERIFY(view->grab().save(artifacts + "/practice-record-page.png"));
    rows[1]->showTakes();
    auto* popup = rows[1]->findChild<QWidget*>("takeList");
    QVERIFY(popup && popup->isVisible());
    QCOMPARE(popup->findChildren<QPushButton*>("btnChooseTake").size(), 2);
    QVERIFY(popup->grab().save(artifacts + "/practice-takes.png"));
    popup->hide();
}

void PracticeTest::levelMeterReadsAKnownTone() {
    QVERIFY(tone("minus20.wav", 3, 1000, 0.1)); // peak -20 dBFS, RMS -23 dBFS
    InputLevel level;
    QVector<double> peaks, rms;
    int reports = 0;
    connect(&level, &InputLevel::levelChanged, this, [&](double peak, double mean) {
        ++reports;
        if (peak > -40) {
            peaks << peak;
            rms << mean;
        }
    });
    level.start(InputDevice::current());
    QVERIFY(level.isRunning());
    QElapsedTimer clock;
    clock.start();
    play("minus20.wav");
    // Waiting without blocking: the meter reports from the event loop.
    QTRY_VERIFY_WITH_TIMEOUT(m_player.state() == QProcess::NotRunning, 15000);
    QTest::qWait(300);
    const double seconds = clock.elapsed() / 1000.0;
    level.stop();
    // The tone's own start and end fall inside two reports; the rest is
    // the steady tone.
    QVERIFY2(peaks.size() > 20, qPrintable(QString::number(peaks.size())));
    peaks = peaks.mid(2, peaks.size() - 4);
    rms = rms.mid(2, rms.size() - 4);
    const double peak = median(peaks);
    const double mean = median(rms);
    qInfo("level meter: peak %.2f dBFS (tone -20.00), RMS %.2f dBFS (tone -23.01), "
          "%.1f reports per second",
          peak, mean, reports / seconds);
    QVERIFY(qAbs(peak + 20) <= 1);
    QVERIFY(qAbs(mean + 23.01) <= 1);
    for (double p : peaks)
        QVERIFY2(qAbs(p + 20) <= 1.5, qPrintable(QString::number(p)));
}

void PracticeTest::nothingHeardAndClippingAreWarned() {
    // The rules on their own, with made-up reports.
    InputLevel rules;
    InputLevel::Level quiet;
    quiet.peakDb = -60;
    rules.take(quiet, 0);
    rules.take(quiet, 1900);
    QCOMPARE(rules.warning(), InputLevel::Warning::None);
    rules.take(quiet, 2000);
    QCOMPARE(rules.warning(), InputLevel::Warning::Quiet);
    InputLevel::Level loud;
    loud.peakDb = -0.01;
    loud.clipped = true;
    rules.take(loud, 2100);
    QCOMPARE(rules.warning(), InputLevel::Warning::Clipping);
    InputLevel::Level fine;
    fine.peakDb = -12;
    rules.take(fine, 3000);
    QCOMPARE(rules.warning(), InputLevel::Warning::Clipping); // held a moment
    rules.take(fine, 3700);
    QCOMPARE(rules.warning(), InputLevel::Warning::None);

    // Samples of every format the input may deliver.
    QAudioFormat format;
    format.setSampleSize(16);
    format.setChannelCount(1);
    format.setSampleType(QAudioFormat::SignedInt);
    format.setByteOrder(QAudioFormat::LittleEndian);
    QByteArray full(400 * 2, 0);
    auto* pcm = reinterpret_cast<qint16*>(full.data());
    for (int i = 0; i < 400; ++i)
        pcm[i] = qint16(qRound(32767 * qSin(2 * M_PI * i / 40)));
    const InputLevel::Level sine = InputLevel::measure(full, format);
    QVERIFY(qAbs(sine.peakDb) < 0.01 && qAbs(sine.rmsDb + 3.01) < 0.05 && sine.clipped);
    format.setSampleType(QAudioFormat::Float);
    format.setSampleSize(32);
    const float half[] = {0.5f, -0.5f, 0.5f, -0.5f};
    const InputLevel::Level floats =
        InputLevel::measure(QByteArray(reinterpret_cast<const char*>(half), sizeof half), format);
    QVERIFY(qAbs(floats.peakDb + 6.02) < 0.01 && !floats.clipped);
    QCOMPARE(InputLevel::measure(QByteArray(), format).peakDb, InputLevel::kFloorDb);

    // And from the microphone: silence, then a tone at full scale.
    PracticeBar bar;
    auto* tips = bar.findChild<QLabel*>("levelTips");
    bar.show();
    QVERIFY(bar.inputLevel()->isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(bar.inputLevel()->warning() == InputLevel::Warning::Quiet, 6000);
    QVERIFY(tips->property("warning").toBool());
    QVERIFY(tips->text().contains("没有听到声音"));
    // Full scale (sox keeps its synth under it).
    QVERIFY(
        run("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                       "aevalsrc=sin(2*PI*1000*t):s=44100:d=2", "-c:a", "pcm_s16le", "full.wav"}));
    play("full.wav");
    QTRY_VERIFY_WITH_TIMEOUT(bar.inputLevel()->warning() == InputLevel::Warning::Clipping, 6000);
    QVERIFY(tips->text().contains("失真"));
    QTRY_VERIFY_WITH_TIMEOUT(m_player.state() == QProcess::NotRunning, 15000);
    bar.hide();
    QVERIFY(!bar.inputLevel()->isRunning());
}

void PracticeTest::slowerOriginalKeepsItsPitch() {
    PlayerView player(false);
    player.resize(320, 180);
    QMediaPlayer* media = player.videoPlayer();
    QVector<double> frequency, length;
    for (const double rate : {1.0, 0.5}) {
        Capture capture(QStringLiteral("rate%1").arg(rate));
        QVERIFY(capture.start());
        player.setPlaybackRate(rate);
        player.setVideoUrl(QDir::current().filePath("a440.wav"));
        QTRY_VERIFY_WITH_TIMEOUT(media->mediaStatus() == QMediaPlayer::EndOfMedia, 15000);
        QTest::qWait(300);
        const QVector<float> heard = capture.stop();
        const QVector<AudioMatch::Span> spans = AudioMatch::sounding(heard);
        QVERIFY2(spans.size() == 1, qPrintable(describe(spans)));
        length << spans[0].lengthMs();
        // The steady middle of the tone.
        frequency << AudioMatch::dominantFrequency(AudioMatch::slice(
            heard, spans[0].fromMs + spans[0].lengthMs() / 4, spans[0].lengthMs() / 2));
        player.stop();
    }
    qInfo("pitch: %.0f Hz at 1x, %.0f Hz at 0.5x (ratio %.3f); the 2 s tone lasted %.0f and "
          "%.0f ms",
          frequency[0], frequency[1], frequency[1] / frequency[0], length[0], length[1]);
    QVERIFY(qAbs(frequency[0] - 440) <= 5);
    QVERIFY(qAbs(frequency[1] - 440) <= 5); // not 220: the pitch is kept
    // It really played at half speed. (The sound server may drop the first
    // tenth of a second of a stream that starts.)
    QVERIFY(qAbs(length[0] - 2000) <= 300);
    QVERIFY(qAbs(length[1] - 4000) <= 400);
    QVERIFY(length[1] / length[0] > 1.7 && length[1] / length[0] < 2.4);
}

void PracticeTest::compareHearsTheSentenceThenTheTake() {
    {
        TakeStore store("practice");
        store.add(1, "take.wav"); // a 900 Hz "voice"
        store.setScore(1, 1, {{"overall", 80}}, {});
    }
    VideoView* view = openPage();
    VideoRecordViewItem* row = view->recordRows().value(1);
    QVERIFY(row && row->isRecorded());
    SentenceCompare* compare = view->sentenceCompare();

    // The sentence from 2.2 s to 3.8 s lies in the 500 Hz part of the clip;
    // then the take.
    Capture both("compare");
    QVERIFY(both.start());
    button(row, "btnCompare")->click();
    QVERIFY(compare->step() == SentenceCompare::Step::Original);
    QVERIFY(button(row, "btnCompare")->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(compare->step() == SentenceCompare::Step::Take, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(compare->step() == SentenceCompare::Step::Idle, 10000);
    QVERIFY(!button(row, "btnCompare")->isChecked());
    QTest::qWait(400);
    QVector<float> heard = both.stop();
    // The take follows the sentence at once, so both sound as one stretch:
    // where the pitch changes is where the take begins.
    QVector<AudioMatch::Span> spans = AudioMatch::sounding(heard);
    QVERIFY2(!spans.isEmpty() && spans.size() <= 2, qPrintable(describe(spans)));
    const double from = spans.first().fromMs;
    const double to = spans.last().toMs;
    double switchMs = from;
    while (switchMs < to &&
           AudioMatch::dominantFrequency(AudioMatch::slice(heard, switchMs, 50)) < 700)
        switchMs += 20;
    const double gap = spans.size() == 2 ? spans[1].fromMs - spans[0].toMs : 0;
    qInfo("compare: original %.0f ms, take %.0f ms, %.0f ms of silence between them",
          switchMs - from - gap, to - switchMs, gap);
    QVERIFY(qAbs(switchMs - from - gap - 1600) <= 200);
    QVERIFY(qAbs(to - switchMs - 1000) <= 150);
    QCOMPARE(AudioMatch::dominantFrequency(AudioMatch::slice(heard, from + 100, 1200)), 500.0);
    QCOMPARE(AudioMatch::dominantFrequency(AudioMatch::slice(heard, to - 900, 800)), 900.0);

    // The original alone, at half speed: the same span, twice as long, and
    // the speed is kept for the clip.
    button(view->practiceBar(), "btnRate50")->click();
    QCOMPARE(PracticeSettings::rate("practice"), 0.5);
    Capture slow("original");
    QVERIFY(slow.start());
    button(row, "btnOriginal")->click();
    QVERIFY(button(row, "btnOriginal")->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(compare->step() == SentenceCompare::Step::Idle, 10000);
    QTest::qWait(400);
    heard = slow.stop();
    spans = AudioMatch::sounding(heard);
    QVERIFY2(spans.size() == 1, qPrintable(describe(spans)));
    qInfo("original at 0.5x: %.0f ms", spans[0].lengthMs());
    QVERIFY(qAbs(spans[0].lengthMs() - 3200) <= 300);
    QCOMPARE(AudioMatch::dominantFrequency(
                 AudioMatch::slice(heard, spans[0].fromMs, spans[0].lengthMs())),
             500.0);
    m_view.reset();
    QCOMPARE(openPage()->rate(), 0.5);
}

void PracticeTest::keysStayQuietWhileTyping() {
    VideoView* view = openPage();
    auto* field = new QLineEdit(view);
    field->setGeometry(10, 10, 100, 24);
    field->show();
    QApplication::setActiveWindow(view);
    QTRY_VERIFY(view->isActiveWindow());
    auto* list = view->findChild<QListWidget*>("listWidget");
    VideoRecordViewItem* first = view->recordRows().at(0);

    field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), field);
    QTest::keyClick(field, Qt::Key_R);
    QTest::keyClick(field, Qt::Key_O);
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), QStringLiteral("ro"));
    QVERIFY(!first->isRecording());
    QCOMPARE(list->currentRow(), 0);
    QVERIFY(view->sentenceCompare()->step() == SentenceCompare::Step::Idle);

    // Elsewhere on the page the keys work.
    list->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentRow(), 1);
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(list->currentRow(), 0);
    QTest::keyClick(list, Qt::Key_O);
    QVERIFY(view->sentenceCompare()->step() == SentenceCompare::Step::Original);
    QTest::keyClick(list, Qt::Key_R);
    QVERIFY(first->isRecording());
    QVERIFY(view->sentenceCompare()->step() == SentenceCompare::Step::Idle);
    QTest::keyClick(list, Qt::Key_R, Qt::ControlModifier); // not ours
    QVERIFY(first->isRecording());
    QTest::keyClick(list, Qt::Key_R);
    QTRY_VERIFY(!first->isRecording());
}

bool PracticeTest::recordWhole(VideoRecordViewItem* row, const QString& speech) {
    QSignalSpy mixes(row, &VideoRecordViewItem::StartMix);
    QMetaObject::Connection speaker =
        connect(row, &VideoRecordViewItem::StartRecord, this, [this, speech] {
            if (!speech.isEmpty())
                m_player.start("paplay", {speech});
        });
    row->onClickRecord();
    const bool done = mixes.wait(30000) || mixes.count() > 0;
    disconnect(speaker);
    m_player.waitForFinished(10000);
    return done && QTest::qWaitFor([row] { return !row->isScoring(); }, 60000);
}

void PracticeTest::takesSurviveARestart() {
    const QVariantMap clip{{"course_id", "restart-1"}};
    VideoView* view = openPage(clip);
    QCOMPARE(view->clipKey(), QStringLiteral("restart-1"));
    VideoRecordViewItem* row = view->recordRows().value(2);
    QVERIFY(row);
    QVERIFY(recordWhole(row, m_speech));  // the sentence read out
    QVERIFY(recordWhole(row, QString())); // nothing said
    TakeStore* store = view->takeStore();
    const QList<TakeStore::Take> takes = store->takes(2);
    QCOMPARE(takes.size(), 2);
    QVERIFY(takes[0].scored && takes[1].scored);
    const int first = takes[0].scores.value("overall").toInt();
    const int second = takes[1].scores.value("overall").toInt();
    qInfo("takes scored %d (read out) and %d (silent)", first, second);
    const int best = second >= first ? 2 : 1;
    QCOMPARE(store->chosen(2), best);
    QCOMPARE(row->scores().value("overall").toInt(), qMax(first, second));
    auto bytes = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QCOMPARE(bytes(row->recordWavPath()), bytes(store->audioPath(2, best)));

    // The client closes; another one opens the clip.
    QFile::remove(row->recordWavPath());
    m_view.reset();
    view = openPage(clip);
    row = view->recordRows().value(2);
    QVERIFY(row->isRecorded());
    QVERIFY(!row->isScoring());
    QCOMPARE(row->scores().value("overall").toInt(), qMax(first, second));
    QCOMPARE(view->takeStore()->takes(2).size(), 2);
    QCOMPARE(bytes(row->recordWavPath()), bytes(view->takeStore()->audioPath(2, best)));
    QCOMPARE(button(row, "btnTakes")->text(), QStringLiteral("录音记录 2"));
    QVERIFY(!view->recordRows().value(0)->isRecorded());

    // Start over asks first, then clears the clip's takes.
    button(view->practiceBar(), "btnStartOver")->click();
    QVERIFY(button(view->practiceBar(), "btnStartOverConfirm")->isVisible());
    QVERIFY(view->recordRows().value(2)->isRecorded()); // nothing cleared yet
    button(view->practiceBar(), "btnStartOverConfirm")->click();
    QVERIFY(!view->recordRows().value(2)->isRecorded());
    QCOMPARE(view->takeStore()->takes(2).size(), 0);
    QVERIFY(!QDir(TakeStore::folderFor("restart-1")).exists());
}

void PracticeTest::chosenMicrophoneIsRecorded() {
    QProcess pactl;
    pactl.start("pactl", {"load-module", "module-null-sink", "sink_name=other"});
    QVERIFY(pactl.waitForFinished(10000) && pactl.exitCode() == 0);
    const QString module = QString::fromLatin1(pactl.readAllStandardOutput()).trimmed();
    auto unload = qScopeGuard([module] { run("pactl", {"unload-module", module}); });

    PracticeBar bar;
    auto* devices = bar.findChild<QComboBox*>("inputDevice");
    const int other = devices->findData("other.monitor");
    QVERIFY2(other > 0, "the second source is offered");
    QCOMPARE(devices->itemData(0).toString(), QString()); // the system default comes first
    emit devices->activated(other);
    QCOMPARE(PracticeSettings::inputDevice(), QStringLiteral("other.monitor"));
    PracticeBar again; // remembered
    QCOMPARE(again.findChild<QComboBox*>("inputDevice")->currentIndex(), other);

    // A take hears the chosen source: a tone played into the other sink,
    // nothing into the default one.
    QVERIFY(tone("other.wav", 4, 700, 0.3));
    VideoView* view = openPage();
    VideoRecordViewItem* row = view->recordRows().value(2);
    connect(row, &VideoRecordViewItem::StartRecord, this, [this] { play("other.wav", "other"); });
    QSignalSpy mixes(row, &VideoRecordViewItem::StartMix);
    row->onClickRecord();
    QVERIFY(mixes.wait(30000) || mixes.count() > 0);
    const QVector<float> take = AudioMatch::decode(row->recordWavPath());
    const QVector<AudioMatch::Span> spans = AudioMatch::sounding(take);
    QVERIFY2(!spans.isEmpty(), "the take is not silent");
    QCOMPARE(AudioMatch::dominantFrequency(
                 AudioMatch::slice(take, spans[0].fromMs, spans[0].lengthMs())),
             700.0);

    emit devices->activated(0);
    QCOMPARE(PracticeSettings::inputDevice(), QString());
}

int main(int argc, char** argv) {
    MediaBackend::configure(); // as the client does at start
    QApplication app(argc, argv);
    PracticeTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "PracticeTest.moc"
