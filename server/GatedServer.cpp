#include "GatedServer.h"

#include "GateStream.h"

#include <cstdio>
#include <sys/socket.h>

namespace lintavo {

namespace {

constexpr int kListenBacklog = 1024;

// Accepted sockets are handed to the gate at once, on the accepting thread.
class HandOver : public httplib::TaskQueue {
public:
    void enqueue(std::function<void()> fn) override { fn(); }
    void shutdown() override {}
};

} // namespace

GatedServer::GatedServer(Limits limits)
    : gate_(limits.gate,
            [this](std::unique_ptr<GateConnection> c) { serveConnection(std::move(c)); }),
      maxRequests_(limits.maxRequestsPerConnection) {
    new_task_queue = [] { return new HandOver; };
    auto idle = std::chrono::duration_cast<std::chrono::seconds>(limits.gate.idleTimeout);
    set_keep_alive_timeout(std::max<time_t>(1, time_t(idle.count())));
    set_keep_alive_max_count(size_t(maxRequests_));
}

GatedServer::~GatedServer() = default;

int GatedServer::bindTo(const std::string& host, int port) {
    if (port == 0)
        port = bind_to_any_port(host);
    else if (!bind_to_port(host, port))
        port = -1;
    // The HTTP layer listens with a backlog of 5: a burst of new connections would wait for
    // the client's SYN retry, a second or more.
    if (port > 0)
        ::listen(svr_sock_, kListenBacklog);
    return port;
}

bool GatedServer::serve() {
    gate_.start();
    bool ok = listen_after_bind();
    gate_.stop();
    return ok;
}

bool GatedServer::process_and_close_socket(socket_t sock) {
    gate_.adopt(sock);
    return true;
}

void GatedServer::serveConnection(std::unique_ptr<GateConnection> connection) {
    bool last = connection->served + 1 >= maxRequests_ || gate_.stopping();
    bool closed = false;
    bool keep = false;
    try {
        GateStream stream(*connection, int(read_timeout_sec_ * 1000 + read_timeout_usec_ / 1000),
                          int(write_timeout_sec_ * 1000 + write_timeout_usec_ / 1000));
        bool ok = process_request(stream, last, closed, {});
        keep = ok && !closed && !last && stream.finishedCleanly();
    } catch (const std::exception& e) {
        // Handlers' exceptions are answered by the HTTP layer; this is its own failure.
        std::fprintf(stderr, "error: request on connection failed: %s\n", e.what());
    }
    if (connection->streamsBody)
        gate_.bodyDone();
    ++connection->served;
    gate_.giveBack(std::move(connection), keep);
}

} // namespace lintavo
