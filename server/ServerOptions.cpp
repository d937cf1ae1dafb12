#include "ServerOptions.h"

#include <cstdlib>
#include <functional>
#include <map>

namespace lintavo {

namespace {

bool toInteger(const std::string& text, int64_t min, int64_t max, int64_t& out) {
    if (text.empty() || text.size() > 18)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    out = std::strtoll(text.c_str(), nullptr, 10);
    return out >= min && out <= max;
}

std::function<bool(const std::string&)> integerIn(int64_t min, int64_t max, int& target) {
    return [min, max, &target](const std::string& v) {
        int64_t n;
        return toInteger(v, min, max, n) && ((target = int(n)), true);
    };
}

} // namespace

bool ServerOptions::parse(int argc, char** argv, std::string& error) {
    std::map<std::string, std::function<bool(const std::string&)>> withValue = {
        {"--port",
         [this](const std::string& v) {
             int64_t n;
             return toInteger(v, 0, 65535, n) && ((port = int(n)), true);
         }},
        {"--bind",
         [this](const std::string& v) {
             bind = v;
             return !v.empty();
         }},
        {"--data",
         [this](const std::string& v) {
             dataDir = v;
             return !v.empty();
         }},
        {"--media",
         [this](const std::string& v) {
             mediaDir = v;
             return !v.empty();
         }},
        {"--signing-key",
         [this](const std::string& v) {
             signingKey = v;
             return !v.empty();
         }},
        {"--wechat-app-id",
         [this](const std::string& v) {
             wechatAppId = v;
             return !v.empty();
         }},
        {"--time-window",
         [this](const std::string& v) { return toInteger(v, 1, 86400 * 365, timeWindowSeconds); }},
        {"--max-upload-mb",
         [this](const std::string& v) {
             int64_t n;
             return toInteger(v, 1, 4096, n) && ((maxUploadBytes = n * 1024 * 1024), true);
         }},
        {"--upload-quota-mb",
         [this](const std::string& v) {
             int64_t n;
             return toInteger(v, 1, 1 << 20, n) && ((uploadQuotaBytes = n * 1024 * 1024), true);
         }},
        {"--session-days",
         [this](const std::string& v) { return toInteger(v, 1, 3650, sessionDays); }},
        {"--threads", integerIn(2, 1024, threads)},
        {"--idle-timeout", integerIn(1, 600, idleTimeoutSeconds)},
        {"--header-timeout", integerIn(1, 600, headerTimeoutSeconds)},
        {"--max-connections", integerIn(16, 100000, maxConnections)},
        {"--max-requests-per-connection", integerIn(1, 100000, maxRequestsPerConnection)},
        {"--origin",
         [this](const std::string& v) {
             origin = v;
             while (!origin.empty() && origin.back() == '/')
                 origin.pop_back();
             return origin.rfind("http://", 0) == 0 || origin.rfind("https://", 0) == 0;
         }},
    };
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool inlineValue = false;
        auto eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }
        if (arg == "--help" || arg == "-h") {
            helpRequested = true;
            return true;
        }
        if (arg == "--wait-media") {
            waitForMedia = true;
            continue;
        }
        if (arg == "--quiet") {
            quiet = true;
            continue;
        }
        if (arg == "--test-endpoints") {
            testEndpoints = true;
            continue;
        }
        auto it = withValue.find(arg);
        if (it == withValue.end()) {
            error = "unknown option " + arg;
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= argc) {
                error = "option " + arg + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (!it->second(value)) {
            error = "bad value for " + arg + ": " + value;
            return false;
        }
    }
    return true;
}

std::string ServerOptions::effectiveMediaDir() const {
    return mediaDir.empty() ? dataDir + "/media" : mediaDir;
}

std::string ServerOptions::announcedHost() const {
    if (bind == "0.0.0.0" || bind == "::" || bind == "127.0.0.1" || bind == "localhost")
        return "127.0.0.1";
    return bind.find(':') != std::string::npos ? "[" + bind + "]" : bind;
}

std::string ServerOptions::usage() {
    return "usage: lintavo-server [options]\n"
           "  --port N            port to listen on (default 8642, 0 picks a free port)\n"
           "  --bind ADDRESS      address to bind (default 127.0.0.1)\n"
           "  --data DIR          data folder: database and uploads (default ./lintavo-data)\n"
           "  --media DIR         generated media cache (default <data>/media)\n"
           "  --wait-media        generate all media before listening\n"
           "  --signing-key KEY   request signing key\n"
           "  --wechat-app-id ID  accepted WeChat application id\n"
           "  --time-window S     accepted timestamp skew in seconds (default 300)\n"
           "  --max-upload-mb N   upload size limit (default 50)\n"
           "  --upload-quota-mb N uploads kept per user (default 500)\n"
           "  --session-days N    days a login stays valid (default 30)\n"
           "  --origin URL        origin of the addresses in answers (default as announced)\n"
           "  --threads N         worker threads (default 64)\n"
           "  --idle-timeout S    idle keep-alive connections are closed after S s (default 5)\n"
           "  --header-timeout S  a request head must arrive within S s (default 10)\n"
           "  --max-connections N connections waiting for a request (default 1000)\n"
           "  --max-requests-per-connection N  (default 100)\n"
           "  --test-endpoints    answer the /test/ helpers of automated tests\n"
           "  --quiet             no request log lines\n";
}

} // namespace lintavo
