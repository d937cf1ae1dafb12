#include "RequestHead.h"

#include <cctype>
#include <cstring>
#include <string>

namespace lintavo {

namespace {

constexpr int64_t kMaxContentLength = 1LL << 40;

bool sameName(const char* line, size_t length, const char* name) {
    size_t n = std::strlen(name);
    if (length <= n || line[n] != ':')
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != name[i])
            return false;
    return true;
}

std::string valueOf(const char* line, size_t length) {
    const char* colon = static_cast<const char*>(std::memchr(line, ':', length));
    size_t begin = size_t(colon - line) + 1;
    size_t end = length;
    while (begin < end && (line[begin] == ' ' || line[begin] == '\t'))
        ++begin;
    while (end > begin && (line[end - 1] == ' ' || line[end - 1] == '\t' || line[end - 1] == '\r' ||
                           line[end - 1] == '\n'))
        --end;
    return std::string(line + begin, end - begin);
}

bool lowerEquals(std::string text, const char* expected) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text == expected;
}

// Reads one header line into the scan; false when its body length cannot be trusted.
bool readHeader(const char* line, size_t length, RequestHead::Scan& scan, bool& sawLength) {
    if (sameName(line, length, "content-length")) {
        std::string value = valueOf(line, length);
        if (sawLength || value.empty() || value.size() > 15 ||
            value.find_first_not_of("0123456789") != std::string::npos)
            return false;
        sawLength = true;
        scan.contentLength = std::stoll(value);
        return scan.contentLength <= kMaxContentLength;
    }
    if (sameName(line, length, "transfer-encoding"))
        scan.chunked = true; // any coding: the body's end is not known from the head
    else if (sameName(line, length, "expect"))
        scan.expectsContinue = lowerEquals(valueOf(line, length), "100-continue");
    return true;
}

} // namespace

RequestHead::Scan RequestHead::scan(const char* data, size_t size, const Limits& limits) {
    Scan scan;
    size_t pos = 0;
    size_t lines = 0;
    bool sawLength = false;
    while (pos < size) {
        const char* start = data + pos;
        const char* newline = static_cast<const char*>(std::memchr(start, '\n', size - pos));
        size_t length = newline ? size_t(newline - start) + 1 : size - pos;
        size_t limit = lines == 0 ? limits.maxRequestLine : limits.maxLine;
        if (length > limit + 2 || pos + length > limits.maxBytes) {
            scan.state =
                lines == 0 && length > limit + 2 ? State::RequestLineLong : State::TooLarge;
            return scan;
        }
        if (!newline)
            return scan; // Incomplete
        pos += length;
        if (lines > 0 && length == 2 && start[0] == '\r') {
            scan.headBytes = pos;
            scan.state = scan.chunked && sawLength ? State::Malformed : State::Complete;
            return scan;
        }
        if (lines > 0 && !readHeader(start, length, scan, sawLength)) {
            scan.state = State::Malformed;
            return scan;
        }
        if (++lines > limits.maxLines + 1) {
            scan.state = State::TooLarge;
            return scan;
        }
    }
    return scan;
}

} // namespace lintavo
