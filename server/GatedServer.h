#pragma once

#include "ConnectionGate.h"

#include <httplib.h>

namespace lintavo {

// The HTTP server with its connections held by a ConnectionGate: routes, handlers and answers
// are the HTTP layer's; a worker thread is busy only while it serves a request that has arrived.
class GatedServer : public httplib::Server {
public:
    struct Limits {
        ConnectionGate::Settings gate;
        int maxRequestsPerConnection = 100;
    };

    explicit GatedServer(Limits limits);
    ~GatedServer() override;

    // Binds (port 0 picks a free one); returns the port, or -1.
    int bindTo(const std::string& host, int port);
    // Accepts until stop(); requests under way are answered before it returns.
    bool serve();

private:
    bool process_and_close_socket(socket_t sock) override;
    void serveConnection(std::unique_ptr<GateConnection> connection);

    ConnectionGate gate_;
    int maxRequests_;
};

} // namespace lintavo
