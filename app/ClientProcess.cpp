#include "ClientProcess.h"

#include "AppFonts.h"
#include "MediaBackend.h"
#include "WorkingFolder.h"

#include <QCoreApplication>
#include <QTextCodec>

void ClientProcess::prepare() {
#ifdef Q_OS_WIN
    // Mesa's software GL under Xvfb has no GLES context; keep GLES for Windows.
    QCoreApplication::setAttribute(Qt::AA_UseOpenGLES, true);
#endif
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, true);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("GBK"));
    MediaBackend::prepare();
}

void ClientProcess::settle() {
    QCoreApplication::setApplicationName(QStringLiteral("lintavo"));
    WorkingFolder::enter();
    AppFonts::install();
}
