// The preview's mix of a 60 s clip with 20 sentences: one ffmpeg pass with
// a single AAC encode, against the chain of two-input mixes that re-encodes
// the whole clip once per sentence, on the same recordings; then the upload
// program's throughput for 10 MB to the local service.
#include "AudioMatch.h"
#include "DubMixer.h"
#include "EventIds.h"
#include "Facade.h"
#include "HttpHandler.h"
#include "Mediator.h"
#include "SentenceTrack.h"
#include "UserDao.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {
constexpr int kSentences = 20;
constexpr int kClipSeconds = 60;
constexpr int kSpacingMs = 3000;

const char* const kLines[] = {"Hi, I just moved in next door",
                              "Welcome to the neighbourhood",
                              "How long have you lived here",
                              "Almost ten years now",
                              "Let me know if you need anything",
                              "That is very kind of you",
                              "Where is the nearest station",
                              "Turn left at the bakery",
                              "Could you help me with this box",
                              "Of course, it looks heavy",
                              "What time does the shop open",
                              "It opens at nine every day",
                              "I love the garden out front",
                              "My wife planted those roses",
                              "Do you like to cook",
                              "Only on the weekends",
                              "We should have dinner some time",
                              "That sounds wonderful",
                              "See you tomorrow then",
                              "Have a nice evening"};

bool run(const QString& program, const QStringList& arguments, int timeoutMs = 120000) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

void fail(const char* what) {
    std::fprintf(stderr, "bench-dub-mix: %s\n", what);
    std::exit(1);
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

// Wall and processor time (of the child programs) of one measured step.
struct Cost {
    double wall = 0;
    double cpu = 0;
};

double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

template <typename Step> Cost measure(Step step) {
    const double cpu = childCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    step();
    return {clock.elapsed() / 1000.0, childCpuSeconds() - cpu};
}

int startMs(int i) {
    return 500 + i * kSpacingMs;
}

QString recording(int i) {
    return QDir::current().filePath(QStringLiteral("%1record.wav").arg(i));
}

void prepareFiles() {
    const QString graph =
        QStringLiteral(
            "anoisesrc=color=pink:amplitude=0.1:d=%1[n];sine=f=220:d=%1[a];sine=f=330:d=%1[b];"
            "[a][b]amix=inputs=2:normalize=0,volume=0.1[c];[n][c]amix=inputs=2:normalize=0[out]")
            .arg(kClipSeconds);
    if (!run("ffmpeg", {"-v", "error", "-y", "-filter_complex", graph, "-map", "[out]", "-ac", "1",
                        "-ar", "44100", "bg.mp3"}))
        fail("cannot make the background track");
    for (int i = 0; i < kSentences; ++i) {
        const QString raw = QStringLiteral("speech%1.wav").arg(i);
        if (!run("espeak-ng", {"-v", "en-us", "-s", "170", "-w", raw, kLines[i]}) ||
            !run("sox", {raw, "-r", "16000", "-c", "1", "-b", "16", recording(i)}))
            fail("cannot make the recordings");
    }
}

// The per-sentence steps of every take, side by side as after quick takes.
void sentenceSteps() {
    std::vector<std::unique_ptr<SentenceTrack>> tracks;
    for (int i = 0; i < kSentences; ++i) {
        tracks.push_back(std::make_unique<SentenceTrack>());
        tracks.back()->start(QString::number(i), startMs(i));
    }
    const bool done = waitUntil(
        [&] {
            return std::none_of(tracks.begin(), tracks.end(),
                                [](const auto& t) { return t->isPending(); });
        },
        600000);
    if (!done || std::any_of(tracks.begin(), tracks.end(), [](const auto& t) {
            return t->state() != SentenceTrack::State::Ready;
        }))
        fail("the per-sentence steps failed");
}

void onePass(const QString& product) {
    QList<DubMixer::Sentence> sentences;
    for (int i = 0; i < kSentences; ++i)
        sentences << DubMixer::Sentence{recording(i), startMs(i)};
    DubMixer mixer;
    bool finished = false;
    bool ok = false;
    QObject::connect(&mixer, &DubMixer::finished, [&](bool success) {
        finished = true;
        ok = success;
    });
    mixer.start("bg.mp3", sentences, product, kClipSeconds * 1000);
    if (!waitUntil([&] { return finished; }, 600000) || !ok)
        fail("the one-pass mix failed");
}

// Sentence track i over the previous mix (the background for 0), each link
// a new MP3, the last one converted to AAC.
void chained(const QString& product) {
    for (int i = 0; i < kSentences; ++i) {
        const QString previous =
            i == 0 ? QStringLiteral("bg.mp3") : QStringLiteral("%1mix.mp3").arg(i - 1);
        if (!run("ffmpeg", {"-y", "-v", "error", "-i", QStringLiteral("%1record.mp3").arg(i), "-i",
                            previous, "-filter_complex", "amix=inputs=2:duration=longest",
                            QStringLiteral("%1mix.mp3").arg(i)}))
            fail("a chained mix failed");
    }
    if (!run("ffmpeg", {"-y", "-v", "error", "-i", QStringLiteral("%1mix.mp3").arg(kSentences - 1),
                        "-codec:a", "aac", product}))
        fail("the chained conversion failed");
}

QString loadAverage() {
    QFile file("/proc/loadavg");
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(' ', 0, 2)
                                          : QStringLiteral("unknown");
}

void printLevels(const char* name, const QString& product) {
    const QVector<float> dub = AudioMatch::decode(product);
    QList<double> gains;
    for (int i = 0; i < kSentences; ++i)
        gains << AudioMatch::find(dub, AudioMatch::decode(recording(i)), startMs(i), 300).gainDb;
    const QVector<float> bg = AudioMatch::decode("bg.mp3");
    const double tailMs = kClipSeconds * 1000 - 1500;
    const AudioMatch::Found tail =
        AudioMatch::find(dub, AudioMatch::slice(bg, tailMs, 1000), tailMs, 300);
    const auto level = [](double db) {
        return db < -90 ? QStringLiteral("  inaudible") : QString::asprintf("%+8.2f dB", db);
    };
    std::printf("%-9s sentence 0: %s   sentence %d: %s   background at the end: %s\n", name,
                qPrintable(level(gains.first())), kSentences - 1, qPrintable(level(gains.last())),
                qPrintable(level(tail.gainDb)));
}

class Login : public Mediator {
public:
    void onEvent(int, const AnyValue&) override {}
};

void uploadThroughput(const QString& program) {
    auto* user = new UserDao(qApp);
    user->reset();
    Facade::instance()->registDao(user);
    HttpHandler::instance();
    Login login;
    login.dispatchEvent(
        Event::REQ_LOGIN_PASSWORD,
        AnyValue::of(QMap<QString, QString>{{"ID", "13800000001"}, {"PW", "lintavo01"}}));
    if (!waitUntil([user] { return user->hasLogin; }, 30000))
        fail("cannot log in to the local service");
    // A real sound file of 10 MB (the service stores audio only).
    const qint64 bytes = 10 * 1024 * 1024;
    const double seconds = (bytes - 44) / (44100.0 * 4);
    if (!run("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                        QStringLiteral("sine=f=440:d=%1").arg(seconds, 0, 'f', 4), "-ac", "2",
                        "-c:a", "pcm_s16le", "big.wav"}))
        fail("cannot make the 10 MB file");
    const qint64 size = QFileInfo("big.wav").size();
    QList<double> rates;
    // One key for every run: the user's storage holds one copy.
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!run(program, {"-token", user->tokenUpload, "-local",
                           QDir::current().filePath("big.wav"), "-key", "bench.wav"}))
            fail("the upload program failed");
        rates << size / 1048576.0 / (clock.elapsed() / 1000.0);
    }
    std::sort(rates.begin(), rates.end());
    std::printf(
        "upload    %.1f MB file to the local service: %.1f MB/s (median of 3; %.1f to %.1f)\n",
        size / 1048576.0, rates[1], rates.first(), rates.last());
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        fail("usage: dub-mix-bench UPLOAD-PROGRAM");
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    prepareFiles();
    std::printf("dub of a %d s clip with %d sentences\n", kClipSeconds, kSentences);
    const Cost steps = measure(sentenceSteps);
    std::printf("per-sentence steps of all %d takes (in the background after each take): "
                "%.2f s wall, %.2f s CPU\n",
                kSentences, steps.wall, steps.cpu);
    const Cost one = measure([] { onePass(QDir::current().filePath("one-pass.aac")); });
    const Cost chain = measure([] { chained(QDir::current().filePath("chained.aac")); });
    std::printf("one pass  %6.2f s wall  %6.2f s CPU\n", one.wall, one.cpu);
    std::printf("chained   %6.2f s wall  %6.2f s CPU\n", chain.wall, chain.cpu);
    std::printf("one pass is %.1fx faster in wall time, %.1fx in CPU time (load average %s)\n",
                chain.wall / one.wall, chain.cpu / one.cpu, qPrintable(loadAverage()));
    printLevels("one pass", "one-pass.aac");
    printLevels("chained", "chained.aac");
    uploadThroughput(QString::fromLocal8Bit(argv[1]));
    return 0;
}
