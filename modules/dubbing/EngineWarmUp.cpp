#include "EngineWarmUp.h"

#include "EngineDocuments.h"
#include "ssound.h"

#include <QCoreApplication>
#include <mutex>
#include <thread>

namespace {
std::thread* g_loader = nullptr; // ends with the application, not before

void joinLoader() {
    g_loader->join();
}
} // namespace

void EngineWarmUp::start() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The model stays loaded for the life of the process once an engine
        // has loaded it, so this engine can go at once.
        g_loader = new std::thread([configuration = EngineDocuments::configuration()] {
            if (ssound* engine = ssound_new(configuration.constData()))
                ssound_delete(engine);
        });
        // An application that ends while the model loads waits for it rather
        // than tearing the loader down under it.
        if (QCoreApplication::instance())
            qAddPostRoutine(joinLoader);
        else
            g_loader->detach();
    });
}
