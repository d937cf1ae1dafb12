#include "ConnectionGate.h"

#include "ApiRouter.h"

#include <cstdio>
#include <httplib.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lintavo {

namespace {

constexpr size_t kReadChunk = 16 * 1024;
constexpr size_t kMaxDrained = 1024 * 1024;
constexpr auto kDrainTime = std::chrono::seconds(2);
constexpr int kTickMs = 250;

const char* reason(int status) {
    switch (status) {
    case 400:
        return "Bad Request";
    case 408:
        return "Request Timeout";
    case 414:
        return "URI Too Long";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Service Unavailable";
    }
}

} // namespace

GateConnection::~GateConnection() {
    if (fd >= 0)
        ::close(fd);
}

ConnectionGate::ConnectionGate(Settings settings, Serve serve)
    : settings_(std::move(settings)), serve_(std::move(serve)) {
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = wake_;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &event);
}

ConnectionGate::~ConnectionGate() {
    stop();
    ::close(wake_);
    ::close(epoll_);
}

std::string ConnectionGate::refusal(int status, const std::string& message) {
    std::string body = dumpJson(ApiRouter::failure(message));
    return "HTTP/1.1 " + std::to_string(status) + " " + reason(status) +
           "\r\nContent-Type: application/json; charset=utf-8\r\nX-Lintavo-Status: 0\r\n"
           "X-Lintavo-Signature: none\r\nConnection: close\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

void ConnectionGate::start() {
    workers_ = std::make_unique<httplib::ThreadPool>(size_t(settings_.workers));
    thread_ = std::thread([this] { run(); });
}

void ConnectionGate::stop() {
    if (!thread_.joinable())
        return;
    stopping_ = true;
    uint64_t one = 1;
    (void)!::write(wake_, &one, sizeof one);
    thread_.join();
    workers_->shutdown(); // requests under way are answered
    std::lock_guard<std::mutex> lock(mutex_);
    incoming_.clear();
}

void ConnectionGate::adopt(int fd) {
    // Answers are written as a head and a body: without this the body waits for the client's
    // delayed acknowledgement of the head, some 40 ms.
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    auto connection = std::make_unique<GateConnection>();
    connection->fd = fd;
    giveBack(std::move(connection), true);
}

void ConnectionGate::giveBack(std::unique_ptr<GateConnection> connection, bool keep) {
    if (stopping_)
        return; // closed with the connection
    connection->since = GateConnection::Clock::now();
    if (!keep)
        drain(*connection);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        incoming_.push_back(std::move(connection));
    }
    uint64_t one = 1;
    (void)!::write(wake_, &one, sizeof one);
}

void ConnectionGate::bodyDone() {
    --streaming_;
}

void ConnectionGate::run() {
    epoll_event events[64];
    auto lastSweep = GateConnection::Clock::now();
    while (!stopping_) {
        int n = ::epoll_wait(epoll_, events, 64, kTickMs);
        for (int i = 0; i < n; ++i) {
            if (events[i].data.fd == wake_) {
                uint64_t count;
                (void)!::read(wake_, &count, sizeof count);
                takeIncoming();
            } else {
                onReadable(events[i].data.fd);
            }
        }
        auto now = GateConnection::Clock::now();
        if (now - lastSweep >= std::chrono::milliseconds(kTickMs)) {
            sweep();
            lastSweep = now;
        }
    }
    waiting_.clear();
}

void ConnectionGate::takeIncoming() {
    std::deque<std::unique_ptr<GateConnection>> arrived;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        arrived.swap(incoming_);
    }
    for (auto& connection : arrived)
        watch(std::move(connection));
}

void ConnectionGate::watch(std::unique_ptr<GateConnection> connection) {
    if (waiting_.size() >= settings_.maxWaiting)
        evictOldest();
    int fd = connection->fd;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0)
        return; // closed with the connection
    GateConnection& held = *connection;
    waiting_[fd] = std::move(connection);
    if (!held.draining && !held.buffer.empty())
        examine(held); // the client sent its next request with the last one
}

void ConnectionGate::forget(int fd) {
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    waiting_.erase(fd);
}

void ConnectionGate::onReadable(int fd) {
    auto it = waiting_.find(fd);
    if (it == waiting_.end())
        return;
    GateConnection& connection = *it->second;
    char chunk[kReadChunk];
    ssize_t n = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (n <= 0)
        return forget(fd);
    if (connection.draining) {
        connection.drained += size_t(n);
        if (connection.drained > kMaxDrained)
            forget(fd);
        return;
    }
    if (connection.buffer.empty())
        connection.since = GateConnection::Clock::now(); // a request begins
    connection.buffer.append(chunk, size_t(n));
    examine(connection);
}

void ConnectionGate::examine(GateConnection& connection) {
    RequestHead::Scan& head = connection.head;
    head = RequestHead::scan(connection.buffer.data(), connection.buffer.size(), settings_.limits);
    switch (head.state) {
    case RequestHead::State::Incomplete:
        return;
    case RequestHead::State::TooLarge:
        return refuse(connection, 431, "请求头过大 (request header fields too large)");
    case RequestHead::State::RequestLineLong:
        return refuse(connection, 414, "请求地址过长 (request line too long)");
    case RequestHead::State::Malformed:
        return refuse(connection, 400, "请求格式错误 (malformed request head)");
    case RequestHead::State::Complete:
        break;
    }
    size_t body = size_t(head.contentLength);
    bool buffered = connection.buffer.size() >= head.headBytes + body;
    // A large, chunked or announced body is read by the worker; their number is bounded so that
    // slow senders never hold every worker.
    bool streamed =
        head.chunked || body > settings_.smallBody || (head.expectsContinue && !buffered);
    if (!streamed && !buffered)
        return;
    if (streamed && streaming_ >= settings_.maxStreamingBodies)
        return refuse(connection, 503, "服务器忙，请稍后再试 (too many uploads at once)");
    if (streamed)
        ++streaming_;
    connection.streamsBody = streamed;
    dispatch(connection.fd);
}

void ConnectionGate::refuse(GateConnection& connection, int status, const std::string& message) {
    std::string reply = refusal(status, message);
    (void)!::send(connection.fd, reply.data(), reply.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (settings_.logRefusals)
        std::fprintf(stderr, "refused before routing: http=%d %s\n", status, message.c_str());
    drain(connection);
}

// Reads and drops what the client still sends, so that it receives the answer instead of a
// reset, but only for a short while.
void ConnectionGate::drain(GateConnection& connection) {
    ::shutdown(connection.fd, SHUT_WR);
    connection.buffer.clear();
    connection.draining = true;
    connection.closeBy = GateConnection::Clock::now() + kDrainTime;
}

void ConnectionGate::dispatch(int fd) {
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    auto it = waiting_.find(fd);
    auto connection = std::make_shared<std::unique_ptr<GateConnection>>(std::move(it->second));
    waiting_.erase(it);
    workers_->enqueue([this, connection] { serve_(std::move(*connection)); });
}

void ConnectionGate::sweep() {
    auto now = GateConnection::Clock::now();
    std::vector<int> expired;
    for (auto& entry : waiting_) {
        GateConnection& c = *entry.second;
        if (c.draining) {
            if (now > c.closeBy)
                expired.push_back(entry.first);
        } else if (c.buffer.empty() ? now - c.since > settings_.idleTimeout
                                    : now - c.since > settings_.headTimeout) {
            if (c.buffer.empty())
                expired.push_back(entry.first);
            else
                refuse(c, 408, "请求超时 (request timeout)");
        }
    }
    for (int fd : expired)
        forget(fd);
}

void ConnectionGate::evictOldest() {
    auto oldest = waiting_.end();
    for (auto it = waiting_.begin(); it != waiting_.end(); ++it)
        if (oldest == waiting_.end() || it->second->since < oldest->second->since)
            oldest = it;
    if (oldest != waiting_.end())
        forget(oldest->first);
}

} // namespace lintavo
