#include "ClientProcess.h"

#include "AppFonts.h"
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
    // Without a usable DRM device (virtual machines, remote desktops) the
    // probe of GStreamer's KMS video sink holds every new media player for
    // seconds (the teaching window, with two, froze 6 s); the client draws its
    // video itself and never uses that sink.
    if (!qEnvironmentVariableIsSet("GST_PLUGIN_FEATURE_RANK"))
        qputenv("GST_PLUGIN_FEATURE_RANK", "kmssink:NONE");
}

void ClientProcess::settle() {
    QCoreApplication::setApplicationName(QStringLiteral("lintavo"));
    WorkingFolder::enter();
    AppFonts::install();
}
