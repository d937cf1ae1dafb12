// Ten sentences recorded through the microphone (espeak-ng speech played
// into a private PulseAudio), each scored by its row: the time from the end
// of the take to its badge painted on screen, and the longest stall of the
// interface thread's event loop while the takes were recorded and scored,
// per step of each take.
#include "EventLoopGapMeter.h"
#include "MediaBackend.h"
#include "VideoRecordViewItem.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <QTime>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/resource.h>

namespace {
const char* const kSentences[] = {
    "I have never seen anything like this before",  "Where is the train station",
    "She sells sea shells by the sea shore",        "We should go home before it gets dark",
    "Can you help me carry these boxes upstairs",   "The weather is lovely today",
    "My brother plays the guitar every evening",    "Please close the door when you leave",
    "They were talking about their summer holiday", "This is the best coffee in town",
};

bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

// Seconds of a 16-bit mono WAV written by sox.
double seconds(const QString& path) {
    return double(QFileInfo(path).size() - 44) / (16000 * 2);
}

QString timeText(int ms) {
    return QTime(0, 0).addMSecs(ms).toString(QStringLiteral("hh:mm:ss,zzz"));
}

// Notes when a widget is first painted.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(const QElapsedTimer& clock) : m_clock(clock) {}
    qint64 paintedAt = -1;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintedAt < 0)
            paintedAt = m_clock.nsecsElapsed();
        return false;
    }

private:
    const QElapsedTimer& m_clock;
};

// Processor time used by this process and its finished children (ffmpeg):
// what the scoring costs, whatever else the machine is doing.
double cpuMs() {
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    }
    return total;
}

struct Take {
    double toResultMs = -1; // the engine's result, on its thread
    double toBadgeMs = -1;  // the badge painted
    double cpuMs = -1;      // processor time from the take's end to the badge
    int overall = -1;
};

Take recordOne(int index, const QString& speech, const QString& text, EventLoopGapMeter& meter,
               QWidget& window) {
    const int lengthMs = int(seconds(speech) * 1000) + 600;
    meter.beginStep(QStringLiteral("%1 take").arg(index));
    auto row = std::make_unique<VideoRecordViewItem>(&window);
    row->setSentence({{"start", timeText(1000)},
                      {"stop", timeText(1000 + lengthMs)},
                      {"en", text},
                      {"cn", QString()},
                      {"index", index},
                      {"total", 10},
                      {"bg", QString()}});
    row->setMember(true);
    row->show();

    QElapsedTimer clock;
    clock.start();
    qint64 ended = -1;
    double cpuAtEnd = 0;
    std::atomic<qint64> result{-1};
    PaintWatch paint(clock);
    auto* badge = row->findChild<QWidget*>(QStringLiteral("score"));
    QProcess speaker;
    QObject::connect(row.get(), &VideoRecordViewItem::StartRecord,
                     [&] { speaker.start(QStringLiteral("paplay"), {speech}); });
    QObject::connect(row.get(), &VideoRecordViewItem::StopRecord, [&] {
        if (ended >= 0)
            return;
        ended = clock.nsecsElapsed();
        cpuAtEnd = cpuMs();
        meter.beginStep(QStringLiteral("%1 take end to badge").arg(index));
    });
    QObject::connect(
        row.get(), &VideoRecordViewItem::UpdateScore, row.get(),
        [&] { result = clock.nsecsElapsed(); }, Qt::DirectConnection); // the engine's thread
    // Queued after the row's own slot has set the badge.
    QObject::connect(
        row.get(), &VideoRecordViewItem::UpdateScore, badge,
        [&] { badge->installEventFilter(&paint); }, Qt::QueuedConnection);

    row->onClickRecord();
    QElapsedTimer limit;
    limit.start();
    while (paint.paintedAt < 0 && limit.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double cpuAtBadge = cpuMs();
    meter.beginStep(QStringLiteral("%1 playback, row closed").arg(index));
    speaker.waitForFinished(10000);
    Take take;
    if (paint.paintedAt >= 0 && ended >= 0) {
        take.toResultMs = (result - ended) / 1e6;
        take.toBadgeMs = (paint.paintedAt - ended) / 1e6;
        take.cpuMs = cpuAtBadge - cpuAtEnd;
        take.overall = row->scores().value(QStringLiteral("overall")).toInt();
    }
    return take;
}

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(' ', 0, 2)
                                          : QStringLiteral("unknown");
}

double median(QVector<double> values) {
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
} // namespace

int main(int argc, char** argv) {
    // As the client does: every playback of a take makes a new media player,
    // which would otherwise wait seconds for the KMS video sink's probe here.
    MediaBackend::configure();
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QStringList speeches;
    for (int i = 0; i < 10; ++i) {
        const QString raw = QDir::current().filePath(QStringLiteral("s%1-raw.wav").arg(i));
        const QString wav = QDir::current().filePath(QStringLiteral("s%1.wav").arg(i));
        if (!run("espeak-ng", {"-v", "en-us", "-s", "150", "-w", raw, kSentences[i]}) ||
            !run("sox", {"-R", raw, "-r", "16000", "-c", "1", "-b", "16", wav})) {
            out << "cannot make the speech with espeak-ng and sox" << Qt::endl;
            return 2;
        }
        speeches << wav;
    }

    QWidget window;
    window.resize(420, 360);
    window.show();
    // The speech model loads with the first engine, in the first row.
    QElapsedTimer first;
    first.start();
    { VideoRecordViewItem warm(&window); }
    out << "first row (speech model load): " << first.elapsed() << " ms" << Qt::endl;

    EventLoopGapMeter meter;
    QVector<double> toBadge, toResult, cpu;
    for (int i = 0; i < 10; ++i) {
        const Take take =
            recordOne(i, speeches[i], QString::fromLatin1(kSentences[i]), meter, window);
        out << QStringLiteral("sentence %1: %2 s, overall %3; take end to result %4 ms, "
                              "to badge %5 ms, processor time meanwhile %6 ms")
                   .arg(i)
                   .arg(seconds(speeches[i]), 0, 'f', 2)
                   .arg(take.overall)
                   .arg(take.toResultMs, 0, 'f', 0)
                   .arg(take.toBadgeMs, 0, 'f', 0)
                   .arg(take.cpuMs, 0, 'f', 0)
            << Qt::endl;
        if (take.toBadgeMs < 0)
            return 1;
        toBadge << take.toBadgeMs;
        toResult << take.toResultMs;
        cpu << take.cpuMs;
    }
    out << QStringLiteral("take end to result: median %1 ms, worst %2 ms")
               .arg(median(toResult), 0, 'f', 0)
               .arg(*std::max_element(toResult.begin(), toResult.end()), 0, 'f', 0)
        << Qt::endl;
    out << QStringLiteral("take end to badge on screen: median %1 ms, worst %2 ms")
               .arg(median(toBadge), 0, 'f', 0)
               .arg(*std::max_element(toBadge.begin(), toBadge.end()), 0, 'f', 0)
        << Qt::endl;
    out << QStringLiteral("processor time (client and ffmpeg) from take end to badge: median %1 "
                          "ms; the machine's load average meanwhile: %2")
               .arg(median(cpu), 0, 'f', 0)
               .arg(loadAverage())
        << Qt::endl;
    meter.stop();
    out << meter.table();
    out << QStringLiteral("longest event-loop gap: %1 ms").arg(meter.longestGapMs()) << Qt::endl;
    // As the client does: no teardown, which once tripped an assertion in
    // PulseAudio's client library while its threads were still running.
    std::fflush(nullptr);
    std::_Exit(0);
}
