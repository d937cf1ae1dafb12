#pragma once

#include <stdexcept>

namespace lintavo {

// A request the service refuses; its text becomes the answer's `msg`.
class ApiError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace lintavo
