#include "LoginThrottle.h"

#include "Database.h"

#include <algorithm>

namespace lintavo {

int64_t LoginThrottle::waitSeconds(const std::string& key, int64_t now) {
    int64_t until = db_.scalar(0, "SELECT blocked_until FROM login_failures WHERE key = ?", key);
    return std::max<int64_t>(0, until - now);
}

void LoginThrottle::failed(const std::string& key, int64_t freeFailures, int64_t now) {
    // One statement, so that parallel failures are all counted.
    db_.run("INSERT INTO login_failures (key, failures, last_at, blocked_until) VALUES (?1, 1, "
            "?2, 0) ON CONFLICT(key) DO UPDATE SET failures = CASE WHEN last_at < ?2 - ?3 THEN 1 "
            "ELSE failures + 1 END, last_at = ?2",
            key, now, kForgetSeconds);
    int64_t failures = db_.scalar(0, "SELECT failures FROM login_failures WHERE key = ?", key);
    if (failures <= freeFailures)
        return;
    int64_t doublings = std::min<int64_t>(failures - freeFailures - 1, 20);
    int64_t block = std::min<int64_t>(int64_t(1) << doublings, kMaxBlockSeconds);
    // The clock counts whole seconds: one more, so that a block of a second
    // never ends a moment after the failure that caused it.
    db_.run("UPDATE login_failures SET blocked_until = ? WHERE key = ?", now + block + 1, key);
}

void LoginThrottle::succeeded(const std::string& key) {
    db_.run("DELETE FROM login_failures WHERE key = ?", key);
}

} // namespace lintavo
