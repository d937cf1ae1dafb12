#include "AccountEndpoints.h"

#include "ApiCall.h"
#include "ApiError.h"
#include "ApiRouter.h"
#include "ItemBuilder.h"
#include "LoginThrottle.h"
#include "PasswordHasher.h"
#include "RandomToken.h"
#include "Sessions.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <openssl/crypto.h>
#include <regex>

namespace lintavo {

namespace {

constexpr int64_t kCodeResendSeconds = 60;
constexpr int64_t kCodeLifetimeSeconds = 300;
constexpr int64_t kCodeAttempts = 5;
constexpr int64_t kCodesPerMobilePerDay = 10;
constexpr int64_t kCodesPerAddressPerDay = 30;
constexpr int64_t kDay = 86400;

int64_t now() {
    return std::time(nullptr);
}

// Verified for unknown accounts too, so that the answer takes as long as for a known one.
const std::string& standInHash() {
    static const std::string hash = PasswordHasher::hash(RandomToken::hex(16));
    return hash;
}

void refuseWhileBlocked(LoginThrottle& throttle, const std::string& accountKey,
                        const std::string& addressKey) {
    int64_t wait =
        std::max(throttle.waitSeconds(accountKey, now()), throttle.waitSeconds(addressKey, now()));
    if (wait > 0)
        throw ApiError("尝试次数过多，请" + std::to_string(wait) +
                       "秒后再试 (too many failed logins, retry in " + std::to_string(wait) +
                       " s)");
}

Json passwordLogin(ApiCall& call) {
    std::string account = call.text("mobile", 32);
    std::string password = call.text("password", 64);
    if (account.empty() || password.empty())
        throw ApiError("请输入账号和密码 (missing account or password)");
    Statement& row = call.db().query("SELECT id, password_hash FROM users WHERE account = ? OR "
                                     "mobile = ? LIMIT 1",
                                     account, account);
    int64_t uid = row.step() ? row.integer(0) : 0;
    std::string stored = uid ? row.text(1) : standInHash();
    row.reset();
    // A known account is one key whichever name it is reached by; an unknown name backs off
    // the same way, so the back-off does not tell the two apart.
    std::string accountKey = uid ? "uid:" + std::to_string(uid) : "account:" + account;
    std::string addressKey = "address:" + call.remoteAddress();
    LoginThrottle throttle(call.db());
    refuseWhileBlocked(throttle, accountKey, addressKey);
    if (!PasswordHasher::verify(password, stored) || uid == 0) {
        throttle.failed(accountKey, LoginThrottle::kAccountFreeFailures, now());
        throttle.failed(addressKey, LoginThrottle::kAddressFreeFailures, now());
        throw ApiError("账号或密码错误 (wrong account or password)");
    }
    throttle.succeeded(accountKey);
    return AccountEndpoints::openSession(call, uid);
}

// Why a code cannot be sent now; called after the send was refused.
std::string codeRefusal(ApiCall& call, const std::string& mobile, const std::string& address) {
    Database& db = call.db();
    if (db.scalar(0, "SELECT COUNT(*) FROM sms_sends WHERE mobile = ? AND sent_at > ?", mobile,
                  now() - kCodeResendSeconds) > 0)
        return "验证码发送太频繁，请稍后再试 (code requested too often)";
    if (db.scalar(0, "SELECT COUNT(*) FROM sms_sends WHERE address = ? AND sent_at > ?", address,
                  now() - kDay) >= kCodesPerAddressPerDay)
        return "今天获取验证码的次数太多 (too many codes from this address today)";
    return "这个手机号今天获取验证码的次数太多 (too many codes for this mobile today)";
}

Json requestCode(ApiCall& call) {
    std::string mobile = call.text("mobile", 20);
    if (!AccountEndpoints::validMobile(mobile))
        throw ApiError("手机号格式不对 (bad mobile number)");
    const std::string& address = call.remoteAddress();
    Database& db = call.db();
    db.run("DELETE FROM sms_sends WHERE sent_at < ?", now() - kDay);
    // The send is recorded apart from the code, in one statement with its limits, so neither a
    // used-up code nor parallel requests lift them.
    int sent = db.run(
        "INSERT INTO sms_sends (mobile, address, sent_at) SELECT ?1, ?2, ?3 WHERE NOT EXISTS "
        "(SELECT 1 FROM sms_sends WHERE mobile = ?1 AND sent_at > ?3 - ?4) AND (SELECT COUNT(*) "
        "FROM sms_sends WHERE mobile = ?1 AND sent_at > ?3 - ?5) < ?6 AND (SELECT COUNT(*) FROM "
        "sms_sends WHERE address = ?2 AND sent_at > ?3 - ?5) < ?7",
        mobile, address, now(), kCodeResendSeconds, kDay, kCodesPerMobilePerDay,
        kCodesPerAddressPerDay);
    if (sent == 0)
        throw ApiError(codeRefusal(call, mobile, address));
    std::string code = RandomToken::digits(4);
    db.run("INSERT OR REPLACE INTO sms_codes (mobile, code, sent_at, expires_at, attempts) "
           "VALUES (?, ?, ?, ?, 0)",
           mobile, code, now(), now() + kCodeLifetimeSeconds);
    std::fprintf(stderr, "sms: code %s for %s (valid %lld s)\n", code.c_str(), mobile.c_str(),
                 static_cast<long long>(kCodeLifetimeSeconds));
    return Json::object();
}

// Checks the code and consumes it. The try is counted before the comparison, in one statement,
// so that parallel guesses share the code's tries.
void checkCode(ApiCall& call, const std::string& mobile, const std::string& code) {
    Database& db = call.db();
    int counted = db.run("UPDATE sms_codes SET attempts = attempts + 1 WHERE mobile = ? AND "
                         "attempts < ? AND expires_at >= ?",
                         mobile, kCodeAttempts, now());
    if (counted == 0) {
        if (db.scalar(0, "SELECT COUNT(*) FROM sms_codes WHERE mobile = ?", mobile) == 0)
            throw ApiError("请先获取验证码 (no code was sent)");
        throw ApiError("验证码已失效，请重新获取 (code expired)");
    }
    Statement& row = db.query("SELECT code FROM sms_codes WHERE mobile = ?", mobile);
    std::string expected = row.step() ? row.text(0) : std::string();
    row.reset();
    bool same = !expected.empty() && code.size() == expected.size() &&
                CRYPTO_memcmp(code.data(), expected.data(), code.size()) == 0;
    // Only the request that removes the code logs in with it.
    if (!same || db.run("DELETE FROM sms_codes WHERE mobile = ? AND code = ?", mobile, code) != 1)
        throw ApiError("验证码错误 (wrong code)");
}

int64_t userForMobile(ApiCall& call, const std::string& mobile) {
    int64_t uid = call.db().scalar(0, "SELECT id FROM users WHERE mobile = ?", mobile);
    if (uid)
        return uid;
    call.db().run("INSERT INTO users (mobile, nickname, avatar, password_hash, created) VALUES "
                  "(?, ?, 'avatar-new.png', ?, ?)",
                  mobile, "用户" + mobile.substr(mobile.size() - 4),
                  PasswordHasher::hash(RandomToken::hex(16)), now());
    return call.db().lastInsertId();
}

Json codeLogin(ApiCall& call) {
    std::string mobile = call.text("mobile", 20);
    std::string code = call.text("code", 10);
    static const std::regex fourDigits("^[0-9]{4}$");
    if (!AccountEndpoints::validMobile(mobile))
        throw ApiError("手机号格式不对 (bad mobile number)");
    if (!std::regex_match(code, fourDigits))
        throw ApiError("验证码格式不对 (bad code)");
    checkCode(call, mobile, code);
    return AccountEndpoints::openSession(call, userForMobile(call, mobile));
}

Json logout(ApiCall& call) {
    int64_t uid = call.requireUser();
    call.db().run("UPDATE sessions SET revoked = 1 WHERE auth_token = ? AND uid = ?",
                  call.param("auth_token"), uid);
    return Json::object();
}

} // namespace

bool AccountEndpoints::validMobile(const std::string& mobile) {
    static const std::regex pattern("^1[0-9]{10}$");
    return std::regex_match(mobile, pattern);
}

std::string AccountEndpoints::pendingCode(ApiCall& call, const std::string& mobile) {
    Statement& row = call.db().query("SELECT code FROM sms_codes WHERE mobile = ? AND "
                                     "expires_at >= ? AND attempts < ?",
                                     mobile, now(), kCodeAttempts);
    std::string code = row.step() ? row.text(0) : std::string();
    row.reset();
    return code;
}

Json AccountEndpoints::openSession(ApiCall& call, int64_t uid) {
    Sessions::Tokens tokens = Sessions(call.db(), call.options().sessionDays).open(uid);
    return ItemBuilder(call.origin()).userRecord(call.db(), uid, tokens.auth, tokens.upload);
}

void AccountEndpoints::install(ApiRouter& router) {
    using S = ApiRouter::Signing;
    router.post("/user/login", S::Required, passwordLogin);
    router.post("/user/codeLogin", S::Required, codeLogin);
    router.get("/user/mobile_code", S::None, requestCode);
    router.post("/user/logout", S::Required, logout);
}

} // namespace lintavo
