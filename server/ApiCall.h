#pragma once

#include "Database.h"
#include "ServerOptions.h"

#include <cstdint>
#include <map>
#include <string>

namespace httplib {
struct Request;
}

namespace lintavo {

// One API request after its parameters were read and its signature checked: typed access to the
// parameters (every refusal throws ApiError) and to the caller's session.
class ApiCall {
public:
    ApiCall(const httplib::Request& request, std::map<std::string, std::string> params,
            Database& db, const ServerOptions& options, std::string origin);

    const std::string& param(const std::string& key) const;
    bool has(const std::string& key) const { return params_.count(key) > 0; }
    // Text of at most `maxChars` characters (UTF-8 aware).
    std::string text(const std::string& key, size_t maxChars = 100) const;
    // A required positive id.
    int64_t id(const std::string& key) const;
    // An id where "", "0" or a missing parameter mean "none" (0).
    int64_t optionalId(const std::string& key) const;
    // A filter choice: "", "all" or missing mean no filter (empty result).
    std::string filter(const std::string& key) const;
    // Non-negative integer with a default for missing or empty values.
    int64_t number(const std::string& key, int64_t fallback, int64_t max) const;

    // The user whose `uid` and `auth_token` form a live session; refuses otherwise.
    int64_t requireUser() const;
    // 0 for anonymous callers (empty token); refuses a non-empty but dead token.
    int64_t optionalUser() const;

    const std::string& origin() const { return origin_; }
    std::string url(const std::string& path) const { return origin_ + path; }
    const httplib::Request& request() const { return request_; }
    // The caller's IP address.
    const std::string& remoteAddress() const;
    Database& db() const { return db_; }
    const ServerOptions& options() const { return options_; }

    static bool isDigits(const std::string& text);
    static size_t utf8Length(const std::string& text);

private:
    const httplib::Request& request_;
    std::map<std::string, std::string> params_;
    Database& db_;
    const ServerOptions& options_;
    std::string origin_;
};

} // namespace lintavo
