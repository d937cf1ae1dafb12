#pragma once

#include <cstdint>
#include <string>

namespace lintavo {

class Database;

// Back-off of password guessing. Every key (an account, a caller's address) has a few free
// failures; after them each failure blocks the key for twice as long as the one before, up to
// a quarter of an hour, and attempts on a blocked key are refused without looking at the
// password. A key's failures are forgotten an hour after its last one, an account's also when
// it logs in.
class LoginThrottle {
public:
    static constexpr int64_t kAccountFreeFailures = 5;
    static constexpr int64_t kAddressFreeFailures = 30;
    static constexpr int64_t kMaxBlockSeconds = 900;
    static constexpr int64_t kForgetSeconds = 3600;

    explicit LoginThrottle(Database& db) : db_(db) {}

    // Seconds until `key` may try again (0: now).
    int64_t waitSeconds(const std::string& key, int64_t now);
    void failed(const std::string& key, int64_t freeFailures, int64_t now);
    void succeeded(const std::string& key);

private:
    Database& db_;
};

} // namespace lintavo
