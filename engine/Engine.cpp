#include "Engine.h"

#include "Evaluation.h"
#include "EvaluationQueue.h"
#include "JsonValue.h"
#include "SpeechModel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

std::shared_ptr<Engine> Engine::create(const char* config) {
    JsonValue doc;
    if (!config || !JsonValue::parse(config, doc) || !doc.isObject())
        return nullptr;
    auto model = SpeechModel::shared();
    if (!model) {
        std::fprintf(stderr, "ssound: %s\n", SpeechModel::loadError().c_str());
        return nullptr;
    }
    return std::make_shared<Engine>(std::move(model), EvaluationQueue::shared());
}

Engine::Engine(std::shared_ptr<SpeechModel> model, std::shared_ptr<EvaluationQueue> queue)
    : model_(std::move(model)), queue_(std::move(queue)) {}

std::string Engine::newId() {
    static std::atomic<unsigned> counter{0};
    static const unsigned long long seed = [] {
        std::random_device device;
        return (static_cast<unsigned long long>(device()) << 32) ^ device() ^
               static_cast<unsigned long long>(
                   std::chrono::steady_clock::now().time_since_epoch().count());
    }();
    char buf[40];
    std::snprintf(buf, sizeof buf, "%016llx%08x", seed, counter.fetch_add(1) + 1);
    return buf;
}

int Engine::start(const char* params, char* idBuffer, ssound_callback callback,
                  const void* userData) {
    std::string id = newId();
    if (idBuffer) {
        std::memset(idBuffer, 0, 64);
        std::memcpy(idBuffer, id.c_str(), std::min<size_t>(id.size(), 63));
    }
    auto evaluation = std::make_shared<Evaluation>(id, callback, userData);
    bool usable = evaluation->configure(params);
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_)
        return -1;
    if (open_)
        submit(open_, Outcome::Superseded);
    open_.reset();
    if (!usable) {
        submit(evaluation, Outcome::Score); // delivers the parameter error
        return -2;
    }
    open_ = evaluation;
    return 0;
}

int Engine::feed(const void* data, int size) {
    if (size < 0 || (size > 0 && !data))
        return -2;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_)
        return -1;
    open_->append(data, static_cast<size_t>(size));
    return 0;
}

int Engine::stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_)
        return -1;
    submit(open_, Outcome::Score);
    open_.reset();
    return 0;
}

void Engine::close() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (open_)
        submit(open_, Outcome::Closed);
    open_.reset();
    for (auto& evaluation : inFlight_)
        evaluation->cancel();
    if (queue_->isWorkerThread()) {
        // Deleted from inside a callback: waiting would wait for ourselves.
        // Whatever is still queued for this engine is dropped unheard.
        closed_ = true;
        return;
    }
    idle_.wait(lock, [this] { return inFlight_.empty(); });
    closed_ = true;
}

void Engine::submit(const std::shared_ptr<Evaluation>& evaluation, Outcome outcome) {
    inFlight_.push_back(evaluation);
    auto self = shared_from_this();
    queue_->post([self, evaluation, outcome] {
        self->deliver(*evaluation, outcome);
        self->finished(evaluation);
    });
}

void Engine::deliver(Evaluation& evaluation, Outcome outcome) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_)
            return; // deleted from inside a callback: nobody is listening any more
    }
    switch (outcome) {
    case Outcome::Score:
        evaluation.run(model_);
        break;
    case Outcome::Superseded:
        evaluation.fail(40022, "superseded by a new evaluation before the audio ended");
        break;
    case Outcome::Closed:
        evaluation.fail(40021, "engine deleted before the audio ended");
        break;
    }
}

void Engine::finished(const std::shared_ptr<Evaluation>& evaluation) {
    std::lock_guard<std::mutex> lock(mutex_);
    inFlight_.erase(std::remove(inFlight_.begin(), inFlight_.end(), evaluation), inFlight_.end());
    idle_.notify_all();
}
