#include "ApiCall.h"

#include "ApiError.h"
#include "Sessions.h"

#include <algorithm>
#include <httplib.h>

namespace lintavo {

ApiCall::ApiCall(const httplib::Request& request, std::map<std::string, std::string> params,
                 Database& db, const ServerOptions& options, std::string origin)
    : request_(request), params_(std::move(params)), db_(db), options_(options),
      origin_(std::move(origin)) {}

const std::string& ApiCall::remoteAddress() const {
    return request_.remote_addr;
}

const std::string& ApiCall::param(const std::string& key) const {
    static const std::string empty;
    auto it = params_.find(key);
    return it == params_.end() ? empty : it->second;
}

bool ApiCall::isDigits(const std::string& text) {
    if (text.empty() || text.size() > 15)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

size_t ApiCall::utf8Length(const std::string& text) {
    size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xc0) != 0x80)
            ++n;
    return n;
}

std::string ApiCall::text(const std::string& key, size_t maxChars) const {
    const std::string& value = param(key);
    if (utf8Length(value) > maxChars)
        throw ApiError("参数过长: " + key + " (value too long)");
    return value;
}

int64_t ApiCall::id(const std::string& key) const {
    const std::string& value = param(key);
    if (!has(key) || value.empty())
        throw ApiError("缺少参数: " + key + " (missing parameter)");
    if (!isDigits(value) || std::stoll(value) <= 0)
        throw ApiError("参数错误: " + key + " (not a valid id)");
    return std::stoll(value);
}

int64_t ApiCall::optionalId(const std::string& key) const {
    const std::string& value = param(key);
    if (value.empty() || value == "0")
        return 0;
    return id(key);
}

std::string ApiCall::filter(const std::string& key) const {
    std::string value = text(key, 20);
    return value == "all" ? std::string() : value;
}

int64_t ApiCall::number(const std::string& key, int64_t fallback, int64_t max) const {
    const std::string& value = param(key);
    if (value.empty())
        return fallback;
    if (!isDigits(value))
        throw ApiError("参数错误: " + key + " (not a number)");
    return std::min<int64_t>(std::stoll(value), max);
}

int64_t ApiCall::requireUser() const {
    const std::string& uid = param("uid");
    const std::string& token = param("auth_token");
    if (token.empty() || uid.empty() || uid == "0")
        throw ApiError("请先登录 (login required)");
    if (!isDigits(uid))
        throw ApiError("参数错误: uid (not a valid id)");
    int64_t user = Sessions(db_, options_.sessionDays).userOfAuthToken(std::stoll(uid), token);
    if (user == 0)
        throw ApiError("登录已失效，请重新登录 (invalid auth_token)");
    return user;
}

int64_t ApiCall::optionalUser() const {
    if (param("auth_token").empty())
        return 0;
    return requireUser();
}

} // namespace lintavo
