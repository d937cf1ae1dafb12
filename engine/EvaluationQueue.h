// The engine thread: evaluations of all engines run here one after another,
// since they share one decoder, and their callbacks are made from here.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class EvaluationQueue {
public:
    // The queue shared by all live engines; it stops when the last one goes.
    static std::shared_ptr<EvaluationQueue> shared();

    EvaluationQueue();
    ~EvaluationQueue();
    EvaluationQueue(const EvaluationQueue&) = delete;
    EvaluationQueue& operator=(const EvaluationQueue&) = delete;

    void post(std::function<void()> job);
    bool isWorkerThread() const { return std::this_thread::get_id() == workerId_; }

private:
    // Owned jointly with the worker, which may outlive this object when the
    // last engine is deleted from inside a callback.
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::function<void()>> jobs;
        bool stopping = false;
    };
    static void run(std::shared_ptr<State> state);

    std::shared_ptr<State> state_;
    std::thread worker_;
    std::thread::id workerId_;
};
