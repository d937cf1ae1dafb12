#pragma once

#include "RequestHead.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class ThreadPool;
}

namespace lintavo {

// One client connection. While it waits for a request it belongs to the gate; while a request
// is served it belongs to the worker that serves it.
struct GateConnection {
    using Clock = std::chrono::steady_clock;

    int fd = -1;
    std::string buffer; // received, not yet served bytes
    RequestHead::Scan head;
    int served = 0; // requests answered on this connection
    bool streamsBody = false;
    Clock::time_point since;   // idle since, or first byte of the request
    Clock::time_point closeBy; // when draining after a refusal
    bool draining = false;
    size_t drained = 0;

    ~GateConnection();
};

// Holds every connection that waits for a request in one epoll thread, so idle and slow
// clients hold no worker thread: a worker is given a connection only once its whole request
// head (and a small body) has arrived. Heads beyond the limits are refused here with 431,
// connections idle or slow beyond their timeouts are closed, and when more connections wait
// than allowed the one that has waited longest is closed first.
class ConnectionGate {
public:
    struct Settings {
        int workers = 64;
        std::chrono::milliseconds idleTimeout{5000};
        std::chrono::milliseconds headTimeout{10000};
        size_t maxWaiting = 1000;
        size_t smallBody = 64 * 1024; // read here before a worker is involved
        size_t maxStreamingBodies = 16;
        RequestHead::Limits limits;
        bool logRefusals = true;
    };
    using Serve = std::function<void(std::unique_ptr<GateConnection>)>;

    ConnectionGate(Settings settings, Serve serve);
    ~ConnectionGate();

    void start();
    void stop();
    // Thread-safe: a freshly accepted socket, or a connection whose request was answered and
    // that waits for the next one (`keep`) or is closed gently (its answer reaches the client
    // even when the client is still sending a body nobody reads).
    void adopt(int fd);
    void giveBack(std::unique_ptr<GateConnection> connection, bool keep);
    // A worker finished reading a large body.
    void bodyDone();
    bool stopping() const { return stopping_; }
    const Settings& settings() const { return settings_; }

    // The closing reply the gate sends itself ("431 Request Header Fields Too Large" ...).
    static std::string refusal(int status, const std::string& message);

private:
    void run();
    void takeIncoming();
    void onReadable(int fd);
    void examine(GateConnection& connection);
    void refuse(GateConnection& connection, int status, const std::string& message);
    static void drain(GateConnection& connection);
    void dispatch(int fd);
    void sweep();
    void evictOldest();
    void watch(std::unique_ptr<GateConnection> connection);
    void forget(int fd);

    Settings settings_;
    Serve serve_;
    int epoll_ = -1;
    int wake_ = -1;
    std::thread thread_;
    std::unique_ptr<httplib::ThreadPool> workers_;
    std::atomic<bool> stopping_{false};
    std::atomic<size_t> streaming_{0};
    std::mutex mutex_;
    std::deque<std::unique_ptr<GateConnection>> incoming_;
    std::map<int, std::unique_ptr<GateConnection>> waiting_;
};

} // namespace lintavo
