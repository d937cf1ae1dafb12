#pragma once

#include <nlohmann/json.hpp>

namespace lintavo {

// Answers keep their members in insertion order, which makes them easy to read in logs.
using Json = nlohmann::ordered_json;

inline std::string dumpJson(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace lintavo
