#include "EvaluationQueue.h"

std::shared_ptr<EvaluationQueue> EvaluationQueue::shared() {
    static std::mutex mutex;
    static std::weak_ptr<EvaluationQueue> current;
    std::lock_guard<std::mutex> lock(mutex);
    auto queue = current.lock();
    if (!queue) {
        queue = std::make_shared<EvaluationQueue>();
        current = queue;
    }
    return queue;
}

EvaluationQueue::EvaluationQueue()
    : state_(std::make_shared<State>()), worker_(&EvaluationQueue::run, state_),
      workerId_(worker_.get_id()) {}

EvaluationQueue::~EvaluationQueue() {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_all();
    // Deleted from inside a callback, on the worker itself: it finishes the
    // remaining jobs and ends on its own.
    if (isWorkerThread())
        worker_.detach();
    else
        worker_.join();
}

void EvaluationQueue::post(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->jobs.push_back(std::move(job));
    }
    state_->wake.notify_one();
}

void EvaluationQueue::run(std::shared_ptr<State> state) {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(state->mutex);
            state->wake.wait(lock, [&state] { return state->stopping || !state->jobs.empty(); });
            if (state->jobs.empty())
                return;
            job = std::move(state->jobs.front());
            state->jobs.pop_front();
        }
        job();
    }
}
