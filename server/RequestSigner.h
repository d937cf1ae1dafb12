#pragma once

#include <map>
#include <string>

namespace lintavo {

// The request signature: every parameter except the signature itself plus `security_key`,
// walked in UTF-16 key order, keys and values joined without separators, MD5 in lower-case hex.
class RequestSigner {
public:
    explicit RequestSigner(std::string securityKey);

    std::string sign(const std::map<std::string, std::string>& params) const;
    bool verify(const std::map<std::string, std::string>& params,
                const std::string& signature) const;

    static std::string md5Hex(const std::string& data);
    // Orders UTF-8 strings as their UTF-16 code units would order.
    static bool utf16Less(const std::string& a, const std::string& b);

private:
    std::string securityKey_;
};

} // namespace lintavo
