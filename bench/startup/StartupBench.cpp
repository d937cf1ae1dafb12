// Start-up and page-switch figures of the main window against the reference
// service. Run through `cmake --build <dir> --target bench-startup`, which
// starts the service and a display. The driver starts this program again as
// a probe several times and measures from process start to the home page
// showing its sections; the last probe then opens 20 pages in turn and
// reports its resident memory after the first and after the last.
#include "AppFonts.h"
#include "Facade.h"
#include "HomeItemView.h"
#include "HomeObject.h"
#include "HomeView.h"
#include "HttpHandler.h"
#include "ListObject.h"
#include "ListView.h"
#include "MainObject.h"
#include "MainViewModel.h"
#include "UserDao.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {
constexpr int kRuns = 5;
constexpr int kPages = 20;
constexpr int kCycle = 6; // pages in one round of openPage
constexpr int kWaitMs = 15000;

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

bool pageFilled(MainObject* main) {
    if (auto* home = qobject_cast<HomeObject*>(main->page())) {
        const auto sections = home->homeView()->sections();
        return !sections.isEmpty() && sections.first()->cardCount() > 0;
    }
    if (auto* list = qobject_cast<ListObject*>(main->page()))
        return list->listView()->cardCount() > 0;
    return false;
}

bool waitUntilFilled(MainObject* main) {
    QElapsedTimer waited;
    waited.start();
    while (!pageFilled(main)) {
        if (waited.elapsed() > kWaitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    // No event loop runs here, so the replaced pages' deferred deletion is
    // delivered by hand, as the loop would.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
}

void openPage(MainViewModel* vm, int step) {
    // Nature rows, the VIP zone, home and a search, in turn.
    static const int rows[] = {3, 4, 2, 0, 5, -1};
    const int row = rows[step % 6];
    if (row < 0)
        vm->onClickSearch(QStringLiteral("coffee"));
    else
        vm->onClickLeftList(row);
}

int probe(bool pages) {
    QTextStream out(stdout);
    auto* record = new UserDao;
    record->reset();
    Facade::instance()->registDao(record);
    HttpHandler::instance();
    MainObject main;
    main.show(true);
    if (!waitUntilFilled(&main))
        return 2;
    out << "home-ready" << Qt::endl;
    if (!pages)
        return 0;
    long first = -1;
    long cycle = -1;
    int filled = 0;
    for (int step = 0; step < kPages; ++step) {
        openPage(main.viewModel(), step);
        filled += waitUntilFilled(&main) ? 1 : 0;
        if (step == 0)
            first = residentKb();
        if (step == kCycle - 1)
            cycle = residentKb();
    }
    out << "pages-filled " << filled << Qt::endl;
    out << "rss-first-kb " << first << Qt::endl;
    out << "rss-cycle-kb " << cycle << Qt::endl;
    out << "rss-last-kb " << residentKb() << Qt::endl;
    return 0;
}

struct Run {
    qint64 ms = -1;
    QMap<QString, QString> figures;
};

Run runProbe(const QString& program, const QString& workDir, bool pages) {
    QProcess child;
    child.setWorkingDirectory(workDir);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList args{QStringLiteral("--probe")};
    if (pages)
        args << QStringLiteral("--pages");
    Run run;
    QElapsedTimer clock;
    clock.start();
    child.start(program, args);
    while (child.waitForReadyRead(60000)) {
        while (child.canReadLine()) {
            const QString line = QString::fromUtf8(child.readLine()).trimmed();
            if (line == QLatin1String("home-ready"))
                run.ms = clock.elapsed();
            const int space = line.indexOf(QLatin1Char(' '));
            if (space > 0)
                run.figures.insert(line.left(space), line.mid(space + 1));
        }
    }
    child.waitForFinished(60000);
    return run;
}

qint64 median(QList<qint64> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

int drive(const QString& program) {
    if (qEnvironmentVariableIsEmpty("LINTAVO_API_ORIGIN")) {
        std::fprintf(stderr, "startup-bench: run it through the bench-startup target\n");
        return 1;
    }
    QTemporaryDir work; // pictures are cached here: the first run starts cold
    QList<qint64> warm;
    qint64 cold = -1;
    Run last;
    for (int i = 0; i < kRuns; ++i) {
        const Run run = runProbe(program, work.path(), i == kRuns - 1);
        if (run.ms < 0) {
            std::fprintf(stderr, "startup-bench: run %d never showed the home page\n", i + 1);
            return 1;
        }
        std::printf("run %d: home page with sections after %lld ms\n", i + 1, run.ms);
        if (i == 0)
            cold = run.ms;
        else
            warm << run.ms;
        last = run;
    }
    const long first = last.figures.value(QStringLiteral("rss-first-kb")).toLong();
    const long cycle = last.figures.value(QStringLiteral("rss-cycle-kb")).toLong();
    const long after = last.figures.value(QStringLiteral("rss-last-kb")).toLong();
    std::printf("start to home sections, cold picture cache: %lld ms\n", cold);
    std::printf("start to home sections, warm cache, median of %d: %lld ms\n", int(warm.size()),
                median(warm));
    std::printf("pages filled: %s of %d\n",
                qPrintable(last.figures.value(QStringLiteral("pages-filled"))), kPages);
    std::printf("resident memory after page 1: %ld KiB, after page %d (every kind of page "
                "once): %ld KiB, after page %d: %ld KiB\n",
                first, kCycle, cycle, kPages, after);
    std::printf("growth from page %d to page %d: %ld KiB\n", kCycle, kPages, after - cycle);
    return 0;
}
} // namespace

int main(int argc, char* argv[]) {
    const QStringList args = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    if (!args.contains(QStringLiteral("--probe"))) {
        QCoreApplication app(argc, argv);
        return drive(QCoreApplication::applicationFilePath());
    }
    QApplication app(argc, argv);
    AppFonts::install();
    return probe(args.contains(QStringLiteral("--pages")));
}
