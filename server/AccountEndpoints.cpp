#include "AccountEndpoints.h"

#include "ApiCall.h"
#include "ApiError.h"
#include "ApiRouter.h"
#include "ItemBuilder.h"
#include "PasswordHasher.h"
#include "RandomToken.h"

#include <cstdio>
#include <ctime>
#include <openssl/crypto.h>
#include <regex>

namespace lintavo {

namespace {

constexpr int64_t kCodeResendSeconds = 60;
constexpr int64_t kCodeLifetimeSeconds = 300;
constexpr int64_t kCodeAttempts = 5;

int64_t now() {
    return std::time(nullptr);
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
    std::string stored = uid ? row.text(1) : std::string();
    row.reset();
    if (uid == 0 || !PasswordHasher::verify(password, stored))
        throw ApiError("账号或密码错误 (wrong account or password)");
    return AccountEndpoints::openSession(call, uid);
}

Json requestCode(ApiCall& call) {
    std::string mobile = call.text("mobile", 20);
    if (!AccountEndpoints::validMobile(mobile))
        throw ApiError("手机号格式不对 (bad mobile number)");
    int64_t last = call.db().scalar(0, "SELECT sent_at FROM sms_codes WHERE mobile = ?", mobile);
    if (last && now() - last < kCodeResendSeconds)
        throw ApiError("验证码发送太频繁，请稍后再试 (code requested too often)");
    std::string code = RandomToken::digits(4);
    call.db().run("INSERT OR REPLACE INTO sms_codes (mobile, code, sent_at, expires_at, attempts) "
                  "VALUES (?, ?, ?, ?, 0)",
                  mobile, code, now(), now() + kCodeLifetimeSeconds);
    std::fprintf(stderr, "sms: code %s for %s (valid %lld s)\n", code.c_str(), mobile.c_str(),
                 static_cast<long long>(kCodeLifetimeSeconds));
    return Json::object();
}

// Checks the code and consumes it; every wrong try counts against the code.
void checkCode(ApiCall& call, const std::string& mobile, const std::string& code) {
    Statement& row = call.db().query("SELECT code, expires_at, attempts FROM sms_codes WHERE "
                                     "mobile = ?",
                                     mobile);
    if (!row.step())
        throw ApiError("请先获取验证码 (no code was sent)");
    std::string expected = row.text(0);
    int64_t expires = row.integer(1), attempts = row.integer(2);
    row.reset();
    if (expires < now() || attempts >= kCodeAttempts) {
        call.db().run("DELETE FROM sms_codes WHERE mobile = ?", mobile);
        throw ApiError("验证码已失效，请重新获取 (code expired)");
    }
    if (code.size() != expected.size() ||
        CRYPTO_memcmp(code.data(), expected.data(), code.size()) != 0) {
        call.db().run("UPDATE sms_codes SET attempts = attempts + 1 WHERE mobile = ?", mobile);
        throw ApiError("验证码错误 (wrong code)");
    }
    call.db().run("DELETE FROM sms_codes WHERE mobile = ?", mobile);
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
                                     "expires_at >= ?",
                                     mobile, now());
    std::string code = row.step() ? row.text(0) : std::string();
    row.reset();
    return code;
}

Json AccountEndpoints::openSession(ApiCall& call, int64_t uid) {
    std::string authToken = RandomToken::hex(20);
    std::string uploadToken = RandomToken::hex(20);
    call.db().run("INSERT INTO sessions (auth_token, upload_token, uid, created) VALUES "
                  "(?, ?, ?, ?)",
                  authToken, uploadToken, uid, now());
    return ItemBuilder(call.origin()).userRecord(call.db(), uid, authToken, uploadToken);
}

void AccountEndpoints::install(ApiRouter& router) {
    using S = ApiRouter::Signing;
    router.post("/user/login", S::Required, passwordLogin);
    router.post("/user/codeLogin", S::Required, codeLogin);
    router.get("/user/mobile_code", S::None, requestCode);
    router.post("/user/logout", S::Required, logout);
}

} // namespace lintavo
