#include "PasswordHasher.h"

#include "RandomToken.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <sstream>
#include <vector>

namespace lintavo {

namespace {
constexpr int kIterations = 60000;
constexpr const char* kScheme = "pbkdf2-sha256";
} // namespace

std::string PasswordHasher::derive(const std::string& password, const std::string& salt,
                                   int iterations) {
    unsigned char out[32];
    PKCS5_PBKDF2_HMAC(password.data(), int(password.size()),
                      reinterpret_cast<const unsigned char*>(salt.data()), int(salt.size()),
                      iterations, EVP_sha256(), sizeof out, out);
    static const char* hex = "0123456789abcdef";
    std::string text;
    for (unsigned char c : out) {
        text.push_back(hex[c >> 4]);
        text.push_back(hex[c & 15]);
    }
    return text;
}

std::string PasswordHasher::hash(const std::string& password) {
    std::string salt = RandomToken::hex(16);
    return std::string(kScheme) + "$" + std::to_string(kIterations) + "$" + salt + "$" +
           derive(password, salt, kIterations);
}

bool PasswordHasher::verify(const std::string& password, const std::string& stored) {
    std::vector<std::string> parts;
    std::stringstream in(stored);
    std::string part;
    while (std::getline(in, part, '$'))
        parts.push_back(part);
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    int iterations = std::atoi(parts[1].c_str());
    if (iterations < 1000 || iterations > 10000000)
        return false;
    std::string computed = derive(password, parts[2], iterations);
    return computed.size() == parts[3].size() &&
           CRYPTO_memcmp(computed.data(), parts[3].data(), computed.size()) == 0;
}

} // namespace lintavo
