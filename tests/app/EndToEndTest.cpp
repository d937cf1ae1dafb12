// The learner's whole road through the real client, against the reference
// service, on a display and with the private PulseAudio microphone: start,
// log in through the login window, open a clip from its home card, dub every
// sentence while espeak-ng speaks it into the microphone, see the badges and
// word colours, preview (score page, the dub plays), the membership offer,
// publish; then a second client, in a process and working folder of its own
// and not logged in, finds the dub in the clip's ranking and plays it.
//
// The interface thread is watched all along: every stage is a step of an
// event-loop gap meter, and a stall of the client over a second fails the
// test (time the machine kept the thread waiting for a processor is shown,
// not counted). The steps' table is printed at the end. Each stage
// leaves a screenshot in build/test-artifacts/e2e/. The same program is the
// second client when LINTAVO_E2E_ROLE is "viewer".
#include "Application.h"
#include "ClientProcess.h"
#include "EventLoopGapMeter.h"
#include "HomeItemView.h"
#include "HomeObject.h"
#include "HomeView.h"
#include "LoginView.h"
#include "MainObject.h"
#include "MainView.h"
#include "PYProgress.h"
#include "PayView.h"
#include "PlayerView.h"
#include "ScoreBadge.h"
#include "ScoreSummary.h"
#include "UpdateThread.h"
#include "VideoItemView.h"
#include "VideoObject.h"
#include "VideoRankRightViewItem.h"
#include "VideoRecordViewItem.h"
#include "VideoView.h"
#include "WindowTestHelpers.h"
#include "WorkingFolder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMediaPlayer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QWindow>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {
constexpr int ServiceMs = 30000;
constexpr int StallLimitMs = 1000;
constexpr int ViewerMs = 150000;
const char* const RoleVariable = "LINTAVO_E2E_ROLE";
const char* const ClipVariable = "LINTAVO_E2E_CLIP";
const char* const DubVariable = "LINTAVO_E2E_DUB";
// How the second client hands its steps to the first: one line per step.
const QString StepLine = QStringLiteral("e2e-step\t%1\t%2\t%3\t%4\t%5");

// The machine's load over the last minute: stalls on a busy machine read
// differently.
QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().split(' ').first())
                                          : QStringLiteral("unknown");
}

// build/test-artifacts/e2e, also when run by hand or by the benchmark.
QString artifactsDir() {
    const QString bin =
        qEnvironmentVariable("LINTAVO_BIN_DIR", QCoreApplication::applicationDirPath());
    return QDir::cleanPath(bin + QStringLiteral("/../test-artifacts/e2e"));
}

// Waits the way the client's own event loop waits, blocked until something
// happens: QTest::qWait sleeps between its rounds, and the gap meter would
// count that sleep as a stall of the client.
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    if (done())
        return true;
    poll.start(20);
    loop.exec();
    return done();
}

void pause(int ms) {
    (void)waitFor([] { return false; }, ms);
}
} // namespace

// Like QTRY_VERIFY_WITH_TIMEOUT and QTRY_COMPARE_WITH_TIMEOUT, with waitFor.
#define WAIT_VERIFY(expr, timeoutMs) QVERIFY2(waitFor([&] { return bool(expr); }, timeoutMs), #expr)
#define WAIT_COMPARE(actual, expected, timeoutMs)                                                  \
    do {                                                                                           \
        (void)waitFor([&] { return (actual) == (expected); }, timeoutMs);                          \
        QCOMPARE(actual, expected);                                                                \
    } while (false)

namespace {

// What both clients share: the client started as `main` starts it, the stall
// watchdog and the screenshots.
class ClientDriver {
public:
    void start() {
        m_app = std::make_unique<Application>();
        m_app->start();
    }
    UserDao* session() const { return m_app->userDao; }
    MainObject* main() const { return qobject_cast<MainObject*>(m_app->currentModule()); }
    QPushButton* header() const { return child<QPushButton>(main()->view(), "btnLogin"); }
    HomeView* home() const {
        auto* page = qobject_cast<HomeObject*>(main()->page());
        return page ? page->homeView() : nullptr;
    }
    VideoView* video() const {
        auto* page = qobject_cast<VideoObject*>(main()->page());
        return page ? page->videoView() : nullptr;
    }
    QStackedWidget* videoPages() const { return child<QStackedWidget>(video(), "sw"); }

    bool homeFilled() const {
        return home() && !home()->sections().isEmpty() &&
               home()->sections().first()->cardCount() > 0;
    }
    VideoItemView* card(const std::function<bool(const QVariantMap&)>& wanted) const {
        for (VideoItemView* card : home()->findChildren<VideoItemView*>())
            if (card->isVisible() && wanted(card->data()))
                return card;
        return nullptr;
    }
    // The clip page has what dubbing needs: sentences and the background track.
    bool clipReady() const {
        VideoView* page = video();
        return page && page->player()->sentenceCount() > 0 &&
               QFile::exists(page->clip().value("audio").toString());
    }

    void step(const QString& name) { m_meter.beginStep(name); }

    // What the user sees: the screen's part under the main window and the
    // windows over it, once pictures and frames that just arrived are
    // painted. Ends the step, so that saving costs it nothing.
    void shot(const QString& name, int settleMs = 400) {
        pause(settleMs);
        m_meter.stop();
        QRect area = main()->view()->frameGeometry();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->isWindow() && w->frameGeometry().intersects(area))
                area |= w->frameGeometry();
        QScreen* screen = QGuiApplication::primaryScreen();
        area &= screen->geometry();
        const QImage image =
            screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 20, qPrintable(name + " looks blank"));
        QDir().mkpath(artifactsDir());
        QVERIFY(image.save(artifactsDir() + QLatin1Char('/') + name + QStringLiteral(".png")));
    }

    // Fails on every step since the last check whose longest stall was the
    // client's for over the limit. Time the thread was ready but waited for a
    // processor is the machine's load, not the client's doing (the machines
    // here are shared); the message tells both.
    void checkStalls() {
        m_meter.stop();
        const QVector<EventLoopGapMeter::Step> steps = m_meter.steps();
        for (; m_checked < steps.size(); ++m_checked) {
            const EventLoopGapMeter::Step& s = steps.at(m_checked);
            const qint64 clients = s.longestGapMs - qMax<qint64>(s.gapQueuedMs, 0);
            QVERIFY2(clients <= StallLimitMs,
                     qPrintable(QStringLiteral("the interface thread stalled %1 ms during '%2' "
                                               "(%3 ms of it running, %4 ms waiting for a "
                                               "processor)")
                                    .arg(s.longestGapMs)
                                    .arg(s.name)
                                    .arg(s.gapRunningMs)
                                    .arg(s.gapQueuedMs)));
        }
    }
    QVector<EventLoopGapMeter::Step> steps() const { return m_meter.steps(); }

    // Once a stage failed, the stages after it have nothing to stand on.
    void skipAfterFailure() {
        if (m_failed)
            QSKIP("an earlier stage failed");
    }
    void noteResult() { m_failed = m_failed || QTest::currentTestFailed(); }

private:
    std::unique_ptr<Application> m_app;
    EventLoopGapMeter m_meter;
    int m_checked = 0;
    bool m_failed = false;
};

// Clicks what a person could click: a shown, enabled widget.
bool click(QWidget* widget) {
    if (!widget || !widget->isVisible() || !widget->isEnabled()) {
        qWarning() << "cannot click" << (widget ? widget->objectName() : QStringLiteral("nothing"));
        return false;
    }
    QTest::mouseClick(widget, Qt::LeftButton);
    return true;
}

void clickListRow(QListView* view, int row) {
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

bool playsFrom(QMediaPlayer* player, const QUrl& url) {
    return player->media().request().url() == url &&
           player->state() == QMediaPlayer::PlayingState && player->position() > 500;
}
} // namespace

// The learner: logs in, dubs, previews and publishes, then starts the viewer.
class LearnerRun : public QObject {
    Q_OBJECT
    ClientDriver d;
    QString m_clipId;
    QStringList m_speech;       // one spoken sentence per row, in row order
    QStringList m_uploadTitles; // what the progress window said at each upload line
    QString m_loadAtStart;
    QVector<EventLoopGapMeter::Step> m_viewerSteps;

    bool rowShowsItsScore(VideoRecordViewItem* r) const;
    void keepRecordings(const QString& index) const;
    void speakSentences();
    void recordSentence(VideoRecordViewItem* r, const QString& speech);
    bool readViewerSteps(const QString& output);

private slots:
    void initTestCase() {
        QVERIFY(!qEnvironmentVariableIsEmpty("LINTAVO_API_ORIGIN"));
        QVERIFY(WorkingFolder::isWorkingFolder(QDir::currentPath()));
        QDir(artifactsDir()).removeRecursively();
        m_loadAtStart = loadAverage();
    }
    void init() { d.skipAfterFailure(); }
    void cleanup() {
        d.checkStalls();
        d.noteResult();
    }
    void cleanupTestCase() {
        QVector<EventLoopGapMeter::Step> all = d.steps();
        for (EventLoopGapMeter::Step s : m_viewerSteps) {
            s.name = QStringLiteral("viewer: ") + s.name;
            all << s;
        }
        std::fputs(
            qPrintable(QStringLiteral("\nLongest stall of the interface thread per step\n") +
                       EventLoopGapMeter::table(all) +
                       QStringLiteral("machine load (1 min): %1 at the start, %2 at the end\n")
                           .arg(m_loadAtStart, loadAverage())),
            stdout);
        std::fflush(stdout);
    }

    void startsWithTheHomePage();
    void logsInThroughTheLoginWindow();
    void opensAClipFromItsCard();
    void entersDubbing();
    void recordsEverySentence();
    void previewShowsTheScorePageAndPlaysTheDub();
    void scorePageOffersMembership();
    void publishesTheDub();
    void secondClientFindsAndPlaysTheDub();
};

void LearnerRun::startsWithTheHomePage() {
    d.step(QStringLiteral("start"));
    d.start();
    QVERIFY(d.main());
    WAIT_VERIFY(d.main()->view()->windowHandle() && d.main()->view()->windowHandle()->isExposed(),
                ServiceMs);
    WAIT_VERIFY(d.homeFilled(), 60000);
    QCOMPARE(d.header()->text(), QStringLiteral("请登录"));
    d.shot(QStringLiteral("01-home"));
}

void LearnerRun::logsInThroughTheLoginWindow() {
    d.step(QStringLiteral("login"));
    QVERIFY(click(d.header()));
    QList<LoginView*> windows;
    WAIT_VERIFY((windows = visibleWindows<LoginView>()).size() == 1, ServiceMs);
    QPointer<LoginView> login = windows.first();
    QTest::keyClicks(child<QLineEdit>(login, "ID"), QStringLiteral("learner01"));
    QTest::keyClicks(child<QLineEdit>(login, "PW"), QStringLiteral("lintavo01"));
    d.shot(QStringLiteral("02-login"));
    d.step(QStringLiteral("login answer"));
    QVERIFY(click(child<QPushButton>(login, "btnLogin")));
    WAIT_VERIFY(login.isNull(), ServiceMs);
    QVERIFY(d.session()->hasLogin);
    WAIT_COMPARE(d.header()->text(), QStringLiteral("小林"), ServiceMs);
}

void LearnerRun::opensAClipFromItsCard() {
    d.step(QStringLiteral("open clip"));
    VideoItemView* card = d.card([](const QVariantMap& item) {
        return item.value("module").toString() == "course" &&
               item.value("is_vip").toString() == "0";
    });
    QVERIFY2(card, "the home page shows no free clip");
    m_clipId = card->data().value("id").toString();
    const QString title = card->data().value("title").toString();
    QVERIFY(click(card));
    QVERIFY(d.video());
    WAIT_VERIFY(d.clipReady(), ServiceMs);
    QCOMPARE(child<QLabel>(d.video(), "title")->text(), title);
    auto* strip = child<QListView>(d.video(), "listView");
    WAIT_VERIFY(strip->model()->rowCount() > 0, ServiceMs);
    WAIT_VERIFY(d.video()->player()->position() > 500, ServiceMs); // it plays
    d.shot(QStringLiteral("03-video"));
}

void LearnerRun::entersDubbing() {
    d.step(QStringLiteral("enter dubbing"));
    QVERIFY(click(child<QPushButton>(d.video(), "btnRecord")));
    QCOMPARE(d.videoPages()->currentIndex(), int(VideoView::PageRecord));
    const int sentences = d.video()->player()->sentenceCount();
    QCOMPARE(d.video()->recordRows().size(), sentences);
    d.shot(QStringLiteral("04-dubbing"));
    speakSentences(); // the test's own work, outside the steps
}

// espeak-ng writes each sentence once, in the background: the rows' texts
// are what the learner reads.
void LearnerRun::speakSentences() {
    std::vector<std::unique_ptr<QProcess>> voices;
    m_speech.clear();
    for (VideoRecordViewItem* r : d.video()->recordRows()) {
        const QString file =
            QDir::current().filePath(QStringLiteral("speech%1.wav").arg(r->index()));
        voices.push_back(std::make_unique<QProcess>());
        voices.back()->start(QStringLiteral("espeak-ng"),
                             {"-v", "en-us", "-s", "170", "-w", file, r->referenceText()});
        m_speech << file;
    }
    for (const auto& voice : voices)
        WAIT_VERIFY(voice->state() == QProcess::NotRunning, ServiceMs);
    for (const QString& file : m_speech)
        QVERIFY2(QFileInfo(file).size() > 1000, qPrintable(file));
}

// The learner speaks once the row says the recording started; the next
// sentence waits until the row has played the take back, which goes to the
// same sound server the microphone listens to.
void LearnerRun::recordSentence(VideoRecordViewItem* r, const QString& speech) {
    auto* list = child<QListWidget>(d.video(), "listWidget");
    const int index = r->index().toInt();
    list->setCurrentRow(index);
    list->scrollToItem(list->item(index));
    QProcess speaker;
    auto speak = QObject::connect(r, &VideoRecordViewItem::StartRecord, &speaker,
                                  [&speaker, speech] { speaker.start("paplay", {speech}); });
    QSignalSpy played(r, &VideoRecordViewItem::StopPlay);
    QVERIFY(click(child<QPushButton>(r, "record")));
    WAIT_VERIFY(r->isRecorded() && !r->isRecording(), ServiceMs);
    QObject::disconnect(speak);
    WAIT_VERIFY(speaker.state() == QProcess::NotRunning, ServiceMs);
    QCOMPARE(speaker.exitCode(), 0);
    WAIT_VERIFY(!played.isEmpty(), ServiceMs);
}

// What the row recorded and what the engine was fed, for a look afterwards.
void LearnerRun::keepRecordings(const QString& index) const {
    QDir().mkpath(artifactsDir());
    for (const QString& name : {index + "record.wav", index + "test.wav"}) {
        QFile::remove(artifactsDir() + QLatin1Char('/') + name);
        QFile::copy(name, artifactsDir() + QLatin1Char('/') + name);
    }
}

bool LearnerRun::rowShowsItsScore(VideoRecordViewItem* r) const {
    if (r->isScoring() || !child<QWidget>(r, "score")->isVisible())
        return false;
    // A learner who is no member sees the membership badge, the offer and
    // every word in the colour of a poor one.
    const int overall = r->scores().value("overall").toInt();
    const QString badge = ScoreBadge::imageFor(overall, false, ScoreBadge::Row);
    const QString en = child<QLabel>(r, "en")->text();
    return child<QWidget>(r, "score")->styleSheet().contains(badge) &&
           child<QLabel>(r, "value")->text().isEmpty() &&
           child<QLabel>(r, "tips")->text() == QStringLiteral("成为会员，享无限次评分") &&
           en.contains(QStringLiteral("<font color = red>")) &&
           !en.contains(QStringLiteral("color = green")) &&
           !en.contains(QStringLiteral("color = black"));
}

void LearnerRun::recordsEverySentence() {
    const QList<VideoRecordViewItem*> rows = d.video()->recordRows();
    QCOMPARE(m_speech.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        d.step(QStringLiteral("record sentence %1/%2").arg(i + 1).arg(rows.size()));
        recordSentence(rows.at(i), m_speech.at(i));
        if (QTest::currentTestFailed())
            return;
    }
    d.step(QStringLiteral("scores"));
    for (VideoRecordViewItem* r : rows) {
        WAIT_VERIFY(rowShowsItsScore(r), ServiceMs);
        // The engine heard the sentence: silence or noise scores nothing.
        if (r->scores().value("overall").toInt() <= 0)
            keepRecordings(r->index());
        QVERIFY2(r->scores().value("overall").toInt() > 0,
                 qPrintable(QStringLiteral("sentence %1 scored %2")
                                .arg(r->index())
                                .arg(QString::fromUtf8(QJsonDocument::fromVariant(r->scores())
                                                           .toJson(QJsonDocument::Compact)))));
    }
    auto* list = child<QListWidget>(d.video(), "listWidget");
    list->scrollToItem(list->item(list->count() - 1));
    d.shot(QStringLiteral("05-recorded"));
}

void LearnerRun::previewShowsTheScorePageAndPlaysTheDub() {
    d.step(QStringLiteral("preview"));
    auto* preview = child<QPushButton>(d.video(), "btnPreview");
    child<QListWidget>(d.video(), "listWidget")->scrollToBottom();
    QVERIFY(click(preview));
    QVERIFY(d.video()->progressWindow());
    WAIT_COMPARE(d.videoPages()->currentIndex(), int(VideoView::PagePublish), 60000);
    QVERIFY(!d.video()->progressWindow());

    QList<QVariantMap> scores;
    for (VideoRecordViewItem* r : d.video()->recordRows())
        scores << r->scores();
    const QVariantMap averages = ScoreSummary::average(scores);
    const QVariantMap product = d.video()->product();
    for (const QString& key : ScoreSummary::keys())
        QCOMPARE(product.value(key).toInt(), averages.value(key).toInt());
    // No member: the page offers membership in place of the numbers.
    auto* page = child<QWidget>(d.video(), "pagePublish");
    QVERIFY(child<QPushButton>(page, "btnSVIP")->isVisible());
    QVERIFY(child<QLabel>(page, "value")->text().isEmpty());
    const QString badge =
        ScoreBadge::imageFor(averages.value("overall").toInt(), false, ScoreBadge::Page);
    QVERIFY(child<QWidget>(page, "score")->styleSheet().contains(badge));

    const QUrl dub =
        QUrl::fromLocalFile(QDir::current().filePath(product.value("aacName").toString()));
    QVERIFY(QFile::exists(dub.toLocalFile()));
    WAIT_VERIFY(playsFrom(d.video()->player()->audioPlayer(), dub), ServiceMs);
    QVERIFY(d.video()->player()->videoPlayer()->isMuted());
    d.shot(QStringLiteral("06-score"));
}

void LearnerRun::scorePageOffersMembership() {
    d.step(QStringLiteral("membership offer"));
    QVERIFY(click(child<QPushButton>(d.video(), "btnSVIP")));
    QList<PayView*> windows;
    WAIT_VERIFY((windows = visibleWindows<PayView>()).size() == 1, ServiceMs);
    QPointer<PayView> pay = windows.first();
    WAIT_VERIFY(!child<QLabel>(pay, "labelQRCode")->pixmap(Qt::ReturnByValue).isNull(), ServiceMs);
    d.shot(QStringLiteral("07-purchase"));
    d.step(QStringLiteral("membership closed"));
    QVERIFY(click(child<QPushButton>(pay, "btnClose")));
    WAIT_VERIFY(visibleWindows<PayView>().isEmpty(), ServiceMs);
    QCOMPARE(d.session()->isVIP, QStringLiteral("0"));
}

void LearnerRun::publishesTheDub() {
    d.step(QStringLiteral("publish"));
    QVERIFY(click(child<QPushButton>(d.video(), "btnPublish")));
    QPointer<PYProgress> progress = d.video()->progressWindow();
    QVERIFY(progress && progress->isVisible());
    auto* upload = d.video()->findChild<UpdateThread*>();
    QVERIFY(upload);
    QObject::connect(upload, &UpdateThread::uploadProgress, progress,
                     [this, progress] { m_uploadTitles << progress->title(); });
    // A small dub may be stored before the window is on the screen.
    (void)waitFor(
        [&] {
            return progress.isNull() ||
                   (progress->windowHandle() && progress->windowHandle()->isExposed());
        },
        ServiceMs);
    d.shot(QStringLiteral("08-upload"), 0);
    d.step(QStringLiteral("upload"));
    WAIT_COMPARE(d.videoPages()->currentIndex(), int(VideoView::PageSuccess), 60000);
    QVERIFY(progress.isNull() || !progress->isVisible());
    QVERIFY(!m_uploadTitles.isEmpty());
    QCOMPARE(m_uploadTitles.last(), QStringLiteral("配音合成中: 100%"));

    // The success page lists the dub, as the service ranks it.
    const QString key = d.video()->product().value("aacName").toString();
    auto* ranking = child<QListWidget>(d.video(), "listRight1");
    QVariantMap published;
    const auto listed = [&] {
        for (int i = 0; i < ranking->count(); ++i) {
            auto* entry =
                qobject_cast<VideoRankRightViewItem*>(ranking->itemWidget(ranking->item(i)));
            const QVariantMap m = entry ? entry->data().toMap() : QVariantMap();
            if (m.value("uid").toString() == d.session()->userID &&
                m.value("audio").toString().endsWith(QLatin1Char('/') + key))
                published = m;
        }
        return !published.isEmpty();
    };
    WAIT_VERIFY(listed(), ServiceMs);
    // The service ranks it by the overall average the preview worked out.
    QCOMPARE(published.value("score").toInt(), d.video()->product().value("overall").toInt());
    d.shot(QStringLiteral("09-published"));
}

void LearnerRun::secondClientFindsAndPlaysTheDub() {
    d.step(QStringLiteral("second client"));
    const QString work = qEnvironmentVariable("LINTAVO_TEST_WORK", QDir::tempPath()) +
                         QStringLiteral("/viewer-%1").arg(QCoreApplication::applicationPid());
    QVERIFY(WorkingFolder::prepare(work));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(RoleVariable, "viewer");
    env.insert(ClipVariable, m_clipId);
    env.insert(DubVariable, d.video()->product().value("aacName").toString());
    QProcess viewer;
    viewer.setProcessEnvironment(env);
    viewer.setWorkingDirectory(work);
    viewer.setProcessChannelMode(QProcess::MergedChannels);
    viewer.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(viewer.waitForStarted(ServiceMs));
    const bool ended = waitFor([&] { return viewer.state() == QProcess::NotRunning; }, ViewerMs);
    if (!ended)
        viewer.kill();
    const QString output = QString::fromUtf8(viewer.readAll());
    const bool stepsRead = readViewerSteps(output);
    const bool passed =
        ended && viewer.exitStatus() == QProcess::NormalExit && viewer.exitCode() == 0 && stepsRead;
    if (!passed)
        std::fputs(qPrintable(QStringLiteral("--- the second client ---\n") + output), stderr);
    QVERIFY2(ended, "the second client did not finish in time");
    QVERIFY2(passed, "the second client failed");
    // Its screenshot joins the learner's.
    QVERIFY(QFile::exists(artifactsDir() + QStringLiteral("/10-other.png")));
}

bool LearnerRun::readViewerSteps(const QString& output) {
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        const QStringList parts = line.trimmed().split(QLatin1Char('\t'));
        if (parts.size() == 6 && parts.first() == QLatin1String("e2e-step"))
            m_viewerSteps << EventLoopGapMeter::Step{
                parts.at(1), parts.at(2).toLongLong(), parts.at(3).toLongLong(),
                parts.at(4).toLongLong(), parts.at(5).toLongLong()};
    }
    return !m_viewerSteps.isEmpty();
}

// The second client: a fresh start, not logged in, in its own working folder.
class ViewerRun : public QObject {
    Q_OBJECT
    ClientDriver d;

private slots:
    void init() { d.skipAfterFailure(); }
    void cleanup() {
        d.checkStalls();
        d.noteResult();
    }
    void cleanupTestCase() {
        for (const EventLoopGapMeter::Step& s : d.steps())
            std::printf("%s\n", qPrintable(StepLine.arg(s.name)
                                               .arg(s.longestGapMs)
                                               .arg(s.durationMs)
                                               .arg(s.gapRunningMs)
                                               .arg(s.gapQueuedMs)));
        std::fflush(stdout);
    }

    void findsTheDubInTheClipsRankingAndPlaysIt() {
        const QString clipId = qEnvironmentVariable(ClipVariable);
        const QString key = qEnvironmentVariable(DubVariable);
        QVERIFY(!clipId.isEmpty() && !key.isEmpty());

        d.step(QStringLiteral("start"));
        d.start();
        WAIT_VERIFY(d.main()->view()->windowHandle() &&
                        d.main()->view()->windowHandle()->isExposed(),
                    ServiceMs);
        WAIT_VERIFY(d.homeFilled(), 60000);
        QVERIFY(!d.session()->hasLogin);

        d.step(QStringLiteral("open clip"));
        VideoItemView* card =
            d.card([&](const QVariantMap& item) { return item.value("id").toString() == clipId; });
        QVERIFY2(card, "the clip's card is not on the home page");
        QVERIFY(click(card));
        QVERIFY(d.video());
        auto* strip = child<QListView>(d.video(), "listView");
        int row = -1;
        const auto findDub = [&] {
            for (int i = 0; i < strip->model()->rowCount(); ++i)
                if (strip->model()->index(i, 0).data().toMap().value("audio").toString().endsWith(
                        QLatin1Char('/') + key))
                    row = i;
            return row >= 0;
        };
        WAIT_VERIFY(findDub(), ServiceMs);
        const QVariantMap entry = strip->model()->index(row, 0).data().toMap();

        d.step(QStringLiteral("play the dub"));
        clickListRow(strip, row);
        QCOMPARE(d.videoPages()->currentIndex(), int(VideoView::PageOther));
        WAIT_COMPARE(child<QLabel>(d.video(), "name")->text(), entry.value("nickname").toString(),
                     ServiceMs);
        QCOMPARE(entry.value("nickname").toString(), QStringLiteral("小林"));
        const QUrl audio(entry.value("audio").toString());
        WAIT_VERIFY(playsFrom(d.video()->player()->audioPlayer(), audio), ServiceMs);
        QVERIFY(d.video()->player()->videoPlayer()->isMuted());
        d.shot(QStringLiteral("10-other"));
    }
};

int main(int argc, char* argv[]) {
    ClientProcess::prepare();
    // The client's debug lines (a progress tick every 25 ms) would bury the
    // test's own report.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    new QApplication(argc, argv); // as in the client: never destroyed
    ClientProcess::settle();
    QObject* run = nullptr;
    if (qEnvironmentVariable(RoleVariable) == QLatin1String("viewer"))
        run = new ViewerRun;
    else
        run = new LearnerRun;
    const int result = QTest::qExec(run, argc, argv);
    std::fflush(stdout);
    std::fflush(stderr);
    // Like the client, the run ends without clean-up: rows, players and
    // engines are left as they are.
    std::_Exit(result);
}

#include "EndToEndTest.moc"
