#include "RandomToken.h"

#include <openssl/rand.h>
#include <stdexcept>

namespace lintavo {

std::string RandomToken::bytes(size_t count) {
    std::string out(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(out.data()), int(count)) != 1)
        throw std::runtime_error("random source failed");
    return out;
}

std::string RandomToken::hex(size_t count) {
    static const char* hexDigits = "0123456789abcdef";
    std::string raw = bytes(count);
    std::string out;
    for (unsigned char c : raw) {
        out.push_back(hexDigits[c >> 4]);
        out.push_back(hexDigits[c & 15]);
    }
    return out;
}

std::string RandomToken::digits(size_t count) {
    std::string out;
    while (out.size() < count) {
        unsigned char c = static_cast<unsigned char>(bytes(1)[0]);
        if (c < 250) // avoid modulo bias
            out.push_back(char('0' + c % 10));
    }
    return out;
}

} // namespace lintavo
