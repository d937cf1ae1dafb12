#pragma once

#include <cstdint>
#include <httplib.h>
#include <ostream>
#include <string>

// One upload of one file: sends it to the service's storage under its key
// with the user's upload token, reports progress as JSON lines
// {"total":N,"current":M}, and succeeds only when the service's answer
// confirms the stored file (its key, its size, and any digest it reports).
class UploadJob {
public:
    // Exit codes of the program.
    enum Result {
        Stored = 0,
        Usage = 2,
        LocalFile = 3,
        Unreachable = 4,
        Refused = 5,
        Unconfirmed = 6
    };

    struct Options {
        std::string token;
        std::string local;
        std::string key;
    };

    // "-token T -local PATH -key KEY", in any order; every one is required.
    static bool parseArguments(int argc, char** argv, Options& options, std::string& error);

    UploadJob(std::string origin, std::ostream& progress);
    Result run(const Options& options);
    // Why run() failed, in one line.
    const std::string& error() const { return m_error; }

private:
    Result fail(Result result, const std::string& reason);
    Result checkAnswer(int httpStatus, const std::string& body, const std::string& key,
                       std::uint64_t size, class FileDigest& digest);
    Result askWhyCut(httplib::Client& client, const Options& options, std::uint64_t sent,
                     std::uint64_t size);
    void report(std::uint64_t current, std::uint64_t total);

    std::string m_origin;
    std::ostream& m_progress;
    std::string m_error;
    std::uint64_t m_reported = 0;
    bool m_anyReported = false;
};
