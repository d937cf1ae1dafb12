#include "MediaBackend.h"

#include <QByteArray>
#include <QLibrary>
#include <thread>

#ifdef Q_OS_UNIX
#include <dlfcn.h>
#endif

namespace {
void keepKmsSinkOut() {
    static const char* const variable = "GST_PLUGIN_FEATURE_RANK";
    QByteArray ranks = qgetenv(variable);
    // A rank the user gave the sink himself stands.
    if (ranks.contains("kmssink:"))
        return;
    if (!ranks.isEmpty())
        ranks += ',';
    qputenv(variable, ranks + "kmssink:NONE");
}

void loadLibsoup2() {
#ifdef Q_OS_UNIX
    // Either libsoup aborts the process when it finds the other one loaded:
    // where libsoup 3 came first, it stays the only one.
    if (dlopen("libsoup-3.0.so.0", RTLD_NOW | RTLD_NOLOAD))
        return;
#endif
    // Loaded for good and with its symbols global, where GStreamer looks.
    QLibrary soup(QStringLiteral("soup-2.4"), 1);
    soup.setLoadHints(QLibrary::ExportExternalSymbolsHint);
    soup.load();
}
} // namespace

void MediaBackend::configure() {
    static const bool configured = [] {
        keepKmsSinkOut();
#ifndef Q_OS_WIN
        loadLibsoup2();
#endif
        return true;
    }();
    Q_UNUSED(configured)
}

void MediaBackend::prepare() {
    configure();
    using Init = void (*)(int*, char***);
    const auto init =
        reinterpret_cast<Init>(QLibrary::resolve(QStringLiteral("gstreamer-1.0"), 0, "gst_init"));
    // GStreamer serialises its start; the players' own call waits for this
    // one or returns at once.
    if (init)
        std::thread([init] { init(nullptr, nullptr); }).detach();
}
