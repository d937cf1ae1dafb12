#include "Sessions.h"

#include "Database.h"
#include "RandomToken.h"

#include <ctime>

namespace lintavo {

Sessions::Sessions(Database& db, int64_t lifetimeDays)
    : db_(db), lifetimeSeconds_(lifetimeDays * 86400) {}

int64_t Sessions::oldestLive() const {
    return int64_t(std::time(nullptr)) - lifetimeSeconds_;
}

Sessions::Tokens Sessions::open(int64_t uid) {
    Tokens tokens{RandomToken::hex(20), RandomToken::hex(20)};
    db_.run("INSERT INTO sessions (auth_token, upload_token, uid, created) VALUES (?, ?, ?, ?)",
            tokens.auth, tokens.upload, uid, int64_t(std::time(nullptr)));
    return tokens;
}

int64_t Sessions::userOfAuthToken(int64_t uid, const std::string& authToken) {
    return db_.scalar(0,
                      "SELECT uid FROM sessions WHERE auth_token = ? AND uid = ? AND revoked = 0 "
                      "AND created > ?",
                      authToken, uid, oldestLive());
}

int64_t Sessions::userOfUploadToken(const std::string& uploadToken) {
    return db_.scalar(0,
                      "SELECT uid FROM sessions WHERE upload_token = ? AND revoked = 0 AND "
                      "created > ?",
                      uploadToken, oldestLive());
}

} // namespace lintavo
