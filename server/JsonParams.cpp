#include "JsonParams.h"

#include <cmath>
#include <cstdio>

namespace lintavo {

namespace {
// Every whole double below this is exact and fits a 64-bit integer.
constexpr double kExactIntegers = 1e15;
} // namespace

std::string JsonParams::scalarText(const Json& value) {
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_boolean())
        return value.get<bool>() ? "true" : "false";
    // Unsigned first: an unsigned number is an "integer" too, and 2^64-1 would read as -1.
    if (value.is_number_unsigned())
        return std::to_string(value.get<uint64_t>());
    if (value.is_number_integer())
        return std::to_string(value.get<int64_t>());
    if (value.is_number_float()) {
        double d = value.get<double>();
        // The range is checked before the cast: casting 1e300 would be undefined.
        if (std::isfinite(d) && std::fabs(d) < kExactIntegers && d == std::trunc(d))
            return std::to_string(static_cast<int64_t>(d));
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.15g", d);
        return buffer;
    }
    return std::string();
}

bool JsonParams::parseObject(const std::string& text, std::map<std::string, std::string>& params) {
    Json body = Json::parse(text, nullptr, false);
    if (body.is_discarded() || !body.is_object())
        return false;
    for (auto it = body.begin(); it != body.end(); ++it)
        params[it.key()] = scalarText(it.value());
    return true;
}

} // namespace lintavo
