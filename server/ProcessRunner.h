#pragma once

#include <string>
#include <vector>

namespace lintavo {

// Runs a program with an argument vector (never through a shell), collecting its standard output
// and the tail of its standard error, and kills it when it outlives its time limit.
class ProcessRunner {
public:
    struct Result {
        int exitCode = -1; // -1: could not start, was killed or crashed
        std::string output;
        std::string errors;
    };

    static Result run(const std::vector<std::string>& argv, int timeoutMs);
};

} // namespace lintavo
