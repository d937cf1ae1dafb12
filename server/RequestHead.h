#pragma once

#include <cstddef>
#include <cstdint>

namespace lintavo {

// Finds the end of an HTTP/1.1 request head in the bytes received so far and checks it against
// the limits before the HTTP layer reads it: the request line and every header line end in
// CRLF, the head ends at the first empty line.
class RequestHead {
public:
    struct Limits {
        size_t maxRequestLine = 8 * 1024;
        size_t maxLine = 8 * 1024;
        size_t maxLines = 100; // header lines, without the request line
        size_t maxBytes = 32 * 1024;
    };
    enum class State {
        Incomplete,      // the head has not ended yet and is within the limits
        Complete,        // headBytes, contentLength and chunked are set
        TooLarge,        // header lines or bytes beyond the limits (431)
        RequestLineLong, // request line beyond its limit (414)
        Malformed,       // a body length that cannot be trusted (400)
    };
    struct Scan {
        State state = State::Incomplete;
        size_t headBytes = 0;
        int64_t contentLength = 0;
        bool chunked = false;
        bool expectsContinue = false;
    };

    static Scan scan(const char* data, size_t size, const Limits& limits);
};

} // namespace lintavo
