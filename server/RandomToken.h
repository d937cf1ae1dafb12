#pragma once

#include <string>

namespace lintavo {

// Unpredictable identifiers from the operating system's random source.
class RandomToken {
public:
    static std::string hex(size_t bytes);
    static std::string digits(size_t count);
    static std::string bytes(size_t count);
};

} // namespace lintavo
