#include "GateStream.h"

#include "ConnectionGate.h"

#include <arpa/inet.h>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

namespace lintavo {

namespace {

void addressOf(const sockaddr_storage& address, socklen_t length, std::string& ip, int& port) {
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host, service,
                    sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
        ip = host;
        port = std::atoi(service);
    }
}

} // namespace

GateStream::GateStream(GateConnection& connection, int readTimeoutMs, int writeTimeoutMs)
    : connection_(connection), readTimeoutMs_(readTimeoutMs), writeTimeoutMs_(writeTimeoutMs) {}

bool GateStream::waitFor(short events, int timeoutMs) const {
    pollfd entry{connection_.fd, events, 0};
    int n;
    while ((n = ::poll(&entry, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    return n > 0 && (entry.revents & (events | POLLHUP | POLLERR));
}

bool GateStream::is_readable() const {
    return offset_ < connection_.buffer.size() || waitFor(POLLIN, readTimeoutMs_);
}

bool GateStream::is_writable() const {
    return waitFor(POLLOUT, writeTimeoutMs_);
}

ssize_t GateStream::read(char* ptr, size_t size) {
    size_t buffered = connection_.buffer.size() - offset_;
    if (buffered > 0) {
        size_t n = std::min(size, buffered);
        std::memcpy(ptr, connection_.buffer.data() + offset_, n);
        offset_ += n;
        return ssize_t(n);
    }
    for (;;) {
        if (!waitFor(POLLIN, readTimeoutMs_))
            return -1;
        ssize_t n = ::recv(connection_.fd, ptr, size, MSG_DONTWAIT);
        if (n > 0)
            fromSocket_ += size_t(n);
        if (n >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return n;
    }
}

// Some callers write a whole response head or body in one call: everything is sent, or -1.
ssize_t GateStream::write(const char* ptr, size_t size) {
    size_t sent = 0;
    while (sent < size) {
        if (!is_writable())
            return -1;
        ssize_t n = ::send(connection_.fd, ptr + sent, size - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0)
            sent += size_t(n);
        else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return -1;
    }
    return ssize_t(size);
}

void GateStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(connection_.fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        addressOf(address, length, ip, port);
}

void GateStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(connection_.fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        addressOf(address, length, ip, port);
}

socket_t GateStream::socket() const {
    return connection_.fd;
}

bool GateStream::finishedCleanly() {
    const RequestHead::Scan& head = connection_.head;
    size_t read = offset_ + fromSocket_;
    if (head.chunked || read != head.headBytes + size_t(head.contentLength))
        return false;
    connection_.buffer.erase(0, offset_);
    return true;
}

} // namespace lintavo
