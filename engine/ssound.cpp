// C entry points: thin shims over Engine that never let an exception cross
// the C boundary.
#include "ssound.h"

#include "Engine.h"

#include <memory>
#include <new>

struct ssound {
    std::shared_ptr<Engine> engine;
};

extern "C" {

struct ssound* ssound_new(const char* cfg) {
    try {
        auto engine = Engine::create(cfg);
        return engine ? new ssound{std::move(engine)} : nullptr;
    } catch (...) {
        return nullptr;
    }
}

int ssound_delete(struct ssound* handle) {
    if (!handle)
        return -1;
    try {
        handle->engine->close();
    } catch (...) {
    }
    delete handle;
    return 0;
}

int ssound_start(struct ssound* handle, const char* param, char* id, ssound_callback callback,
                 const void* usrdata) {
    if (!handle)
        return -1;
    try {
        return handle->engine->start(param, id, callback, usrdata);
    } catch (...) {
        return -3;
    }
}

int ssound_feed(struct ssound* handle, const void* data, int size) {
    if (!handle)
        return -1;
    try {
        return handle->engine->feed(data, size);
    } catch (...) {
        return -3;
    }
}

int ssound_stop(struct ssound* handle) {
    if (!handle)
        return -1;
    try {
        return handle->engine->stop();
    } catch (...) {
        return -3;
    }
}

} // extern "C"
