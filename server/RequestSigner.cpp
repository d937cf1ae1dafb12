#include "RequestSigner.h"

#include <algorithm>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <vector>

namespace lintavo {

namespace {

std::u16string toUtf16(const std::string& s) {
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        char32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c >> 5) == 6) {
            cp = c & 0x1f;
            extra = 1;
        } else if ((c >> 4) == 14) {
            cp = c & 0x0f;
            extra = 2;
        } else if ((c >> 3) == 30) {
            cp = c & 0x07;
            extra = 3;
        } else {
            cp = 0xfffd;
            extra = 0;
        }
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3f);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xd800 + (cp >> 10)));
            out.push_back(char16_t(0xdc00 + (cp & 0x3ff)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

} // namespace

RequestSigner::RequestSigner(std::string securityKey) : securityKey_(std::move(securityKey)) {}

bool RequestSigner::utf16Less(const std::string& a, const std::string& b) {
    return toUtf16(a) < toUtf16(b);
}

std::string RequestSigner::md5Hex(const std::string& data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(data.data(), data.size(), digest, &length, EVP_md5(), nullptr);
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out.push_back(hex[digest[i] >> 4]);
        out.push_back(hex[digest[i] & 15]);
    }
    return out;
}

std::string RequestSigner::sign(const std::map<std::string, std::string>& params) const {
    std::vector<std::pair<std::string, std::string>> entries(params.begin(), params.end());
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const auto& e) {
                                     return e.first == "sign" || e.first == "signature" ||
                                            e.first == "security_key";
                                 }),
                  entries.end());
    entries.emplace_back("security_key", securityKey_);
    std::sort(entries.begin(), entries.end(),
              [](const auto& x, const auto& y) { return utf16Less(x.first, y.first); });
    std::string text;
    for (const auto& e : entries)
        text += e.first + e.second;
    return md5Hex(text);
}

bool RequestSigner::verify(const std::map<std::string, std::string>& params,
                           const std::string& signature) const {
    std::string expected = sign(params);
    return signature.size() == expected.size() &&
           CRYPTO_memcmp(signature.data(), expected.data(), expected.size()) == 0;
}

} // namespace lintavo
