#pragma once

#include <cstdint>
#include <string>

namespace lintavo {

class Database;

// Login sessions: an auth token for the API and an upload token for the storage, both valid
// until logout or until the session is older than its lifetime.
class Sessions {
public:
    Sessions(Database& db, int64_t lifetimeDays);

    struct Tokens {
        std::string auth;
        std::string upload;
    };
    Tokens open(int64_t uid);
    // The user of a live session, or 0.
    int64_t userOfAuthToken(int64_t uid, const std::string& authToken);
    int64_t userOfUploadToken(const std::string& uploadToken);

private:
    int64_t oldestLive() const;

    Database& db_;
    int64_t lifetimeSeconds_;
};

} // namespace lintavo
