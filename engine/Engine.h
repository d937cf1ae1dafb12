// One engine handle: at most one open evaluation, and any number already
// stopped and waiting for their turn on the engine thread.
#pragma once

#include "ssound.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class Evaluation;
class EvaluationQueue;
class SpeechModel;

class Engine : public std::enable_shared_from_this<Engine> {
public:
    // Null when the configuration is not a JSON object or no model loads.
    static std::shared_ptr<Engine> create(const char* config);

    Engine(std::shared_ptr<SpeechModel> model, std::shared_ptr<EvaluationQueue> queue);

    int start(const char* params, char* idBuffer, ssound_callback callback, const void* userData);
    int feed(const void* data, int size);
    int stop();
    // Ends the open evaluation with an error result, cancels waiting ones and
    // returns once none of them can call back any more.
    void close();

private:
    enum class Outcome { Score, Superseded, Closed };

    void submit(const std::shared_ptr<Evaluation>& evaluation, Outcome outcome);
    void deliver(Evaluation& evaluation, Outcome outcome);
    void finished(const std::shared_ptr<Evaluation>& evaluation);
    static std::string newId();

    std::shared_ptr<SpeechModel> model_;
    std::shared_ptr<EvaluationQueue> queue_;
    std::mutex mutex_;
    std::condition_variable idle_;
    std::shared_ptr<Evaluation> open_;
    std::vector<std::shared_ptr<Evaluation>> inFlight_;
    bool closed_ = false;
};
