#pragma once

#include <cstdint>
#include <string>

namespace lintavo {

// Command-line settings of the service; every member has a usable default.
class ServerOptions {
public:
    int port = 8642;
    std::string bind = "127.0.0.1";
    std::string dataDir = "lintavo-data";
    std::string mediaDir; // empty: <dataDir>/media
    std::string signingKey = LINTAVO_DEFAULT_SIGNING_KEY;
    std::string wechatAppId = LINTAVO_DEFAULT_WECHAT_APP_ID;
    int64_t timeWindowSeconds = 300;
    int64_t maxUploadBytes = 50LL * 1024 * 1024;
    int64_t uploadQuotaBytes = 500LL * 1024 * 1024;
    int64_t maxBodyBytes = 64 * 1024;
    int64_t sessionDays = 30;
    int threads = 64;
    int idleTimeoutSeconds = 5;
    int headerTimeoutSeconds = 10;
    int maxConnections = 1000;
    int maxRequestsPerConnection = 100;
    bool waitForMedia = false;
    bool quiet = false;
    bool testEndpoints = false;
    // Origin of every address in an answer; empty: http://HOST:PORT as announced at start.
    std::string origin;

    // Parses argv; returns false and fills `error` on a bad option. `--help` sets `helpRequested`.
    bool parse(int argc, char** argv, std::string& error);
    bool helpRequested = false;
    static std::string usage();
    std::string effectiveMediaDir() const;
    // The host of the announced address: wildcard and loopback binds are both reachable on the
    // loopback address.
    std::string announcedHost() const;
};

} // namespace lintavo
