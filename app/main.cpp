#include "AppFonts.h"
#include "Application.h"
#include "MediaBackend.h"
#include "WorkingFolder.h"

#include <QApplication>
#include <QTextCodec>
#include <cstdlib>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
[[noreturn]] void terminateNow(int code) {
    // The client does no work at exit: end without running any destructor.
#ifdef Q_OS_WIN
    TerminateProcess(GetCurrentProcess(), UINT(code));
#endif
    std::_Exit(code);
}
} // namespace

int main(int argc, char* argv[]) {
#ifdef Q_OS_WIN
    // Mesa's software GL under Xvfb has no GLES context; keep GLES for Windows.
    QCoreApplication::setAttribute(Qt::AA_UseOpenGLES, true);
#endif
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, true);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("GBK"));
    MediaBackend::prepare();
    auto* app = new QApplication(argc, argv); // never destroyed: the process ends by itself
    QCoreApplication::setApplicationName(QStringLiteral("lintavo"));
    WorkingFolder::enter();
    AppFonts::install();
    Application application;
    application.start();
    app->exec();
    terminateNow(0);
}
