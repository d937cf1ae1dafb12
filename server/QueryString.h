#pragma once

#include <string>
#include <utility>
#include <vector>

namespace lintavo {

// Reads a raw query string the way the client writes it: "&&" and empty segments are skipped,
// each segment splits at its first "=", %XX is decoded and "+" stays a plus sign.
class QueryString {
public:
    using Pairs = std::vector<std::pair<std::string, std::string>>;

    static Pairs parse(const std::string& query);
    static std::string decode(const std::string& text);
    static std::string encode(const std::string& text);
    // The query part of a request target ("" when there is none).
    static std::string queryOf(const std::string& target);
};

} // namespace lintavo
