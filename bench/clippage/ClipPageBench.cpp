// How long a click on a clip leaves the window without its new page: from
// the click to the first paint of the clip page, against the reference
// service. Run through `cmake --build <dir> --target bench-clippage`. The
// driver starts this program as a probe twice: as the client runs, and with
// GStreamer's KMS video sink given its usual rank, which is how every player
// used to start on machines without a GPU device. The first clip after start
// also pays for the media back-end's and the page's one-time set-up.
#include "AppFonts.h"
#include "EventIds.h"
#include "Facade.h"
#include "HomeItemView.h"
#include "HomeObject.h"
#include "HomeView.h"
#include "HttpHandler.h"
#include "MainObject.h"
#include "MainViewModel.h"
#include "MediaBackend.h"
#include "UserDao.h"
#include "VideoObject.h"
#include "VideoView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
constexpr int kClips = 6;
constexpr int kWaitMs = 60000;

// Notes the first paint of the widget it watches.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > kWaitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Milliseconds from the click on clip `id` to the first paint of its page.
qint64 openClip(MainObject* main, int id) {
    QElapsedTimer clock;
    clock.start();
    main->viewModel()->dispatchEvent(
        Event::OPEN_HOME_ITEM,
        AnyValue::of(QVariant(QVariantMap{{"module", "course"}, {"id", QString::number(id)}})));
    auto* page = qobject_cast<VideoObject*>(main->page());
    if (!page)
        return -1;
    PaintWatch watch;
    page->videoView()->installEventFilter(&watch);
    if (!waitFor([&] { return watch.painted; }))
        return -1;
    const qint64 ms = clock.elapsed();
    page->videoView()->removeEventFilter(&watch);
    // Let the clip start before the next click replaces the page.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return ms;
}

int probe() {
    auto* record = new UserDao;
    record->reset();
    Facade::instance()->registDao(record);
    HttpHandler::instance();
    MainObject main;
    main.show(true);
    const bool home = waitFor([&] {
        auto* page = qobject_cast<HomeObject*>(main.page());
        return page && !page->homeView()->sections().isEmpty();
    });
    if (!home)
        return 2;
    for (int id = 1; id <= kClips; ++id) {
        const qint64 ms = openClip(&main, id);
        if (ms < 0)
            return 3;
        std::printf("clip-ms %lld\n", ms);
        std::fflush(stdout);
    }
    return 0;
}

QList<qint64> runProbe(const QString& program, const QString& workDir, const QByteArray& ranks) {
    QProcess child;
    child.setWorkingDirectory(workDir);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (ranks.isEmpty())
        env.remove(QStringLiteral("GST_PLUGIN_FEATURE_RANK"));
    else
        env.insert(QStringLiteral("GST_PLUGIN_FEATURE_RANK"), QString::fromLatin1(ranks));
    child.setProcessEnvironment(env);
    child.start(program, {QStringLiteral("--probe")});
    QList<qint64> times;
    while (child.waitForReadyRead(120000)) {
        while (child.canReadLine()) {
            const QList<QByteArray> words = child.readLine().trimmed().split(' ');
            if (words.value(0) == "clip-ms")
                times << words.value(1).toLongLong();
        }
    }
    child.waitForFinished(60000);
    return times;
}

void report(const char* label, QList<qint64> times) {
    if (times.isEmpty()) {
        std::printf("%s: the probe opened no clip page\n", label);
        return;
    }
    const qint64 first = times.first();
    std::sort(times.begin(), times.end());
    std::printf("%s: first clip %lld ms, median of %d %lld ms, slowest %lld ms\n", label, first,
                int(times.size()), times.at(times.size() / 2), times.last());
}

int drive(const QString& program) {
    if (qEnvironmentVariableIsEmpty("LINTAVO_API_ORIGIN")) {
        std::fprintf(stderr, "clippage-bench: run it through the bench-clippage target\n");
        return 1;
    }
    QTemporaryDir work;
    std::printf("click on a clip to the first paint of its page (%d clips in a row)\n", kClips);
    report("as the client runs", runProbe(program, work.path(), {}));
    report("KMS sink in the automatic choice", runProbe(program, work.path(), "kmssink:SECONDARY"));
    return 0;
}
} // namespace

int main(int argc, char* argv[]) {
    bool isProbe = false;
    for (int i = 1; i < argc; ++i)
        isProbe = isProbe || QByteArray(argv[i]) == "--probe";
    if (!isProbe) {
        QCoreApplication app(argc, argv);
        return drive(QCoreApplication::applicationFilePath());
    }
    MediaBackend::prepare(); // as the client's start does
    QApplication app(argc, argv);
    AppFonts::install();
    return probe();
}
