#pragma once

#include <httplib.h>

namespace lintavo {

struct GateConnection;

// The HTTP layer's view of one request on a gate connection: first the bytes the gate already
// received, then the socket itself, with the read and write timeouts. It counts what was read so
// that the connection is kept only when the request's body was read to its end.
class GateStream : public httplib::Stream {
public:
    GateStream(GateConnection& connection, int readTimeoutMs, int writeTimeoutMs);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override;

    // True when exactly the head and its declared body were read; the unread rest of the buffer
    // (a request sent right behind this one) then stays in the connection.
    bool finishedCleanly();

private:
    bool waitFor(short events, int timeoutMs) const;

    GateConnection& connection_;
    int readTimeoutMs_;
    int writeTimeoutMs_;
    size_t offset_ = 0; // read position in the connection's buffer
    size_t fromSocket_ = 0;
};

} // namespace lintavo
