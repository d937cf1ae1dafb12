#include "WechatEndpoints.h"

#include "AccountEndpoints.h"
#include "ApiError.h"
#include "ApiRouter.h"
#include "ItemBuilder.h"
#include "QrCodePng.h"
#include "QueryString.h"
#include "RandomToken.h"
#include "WebPages.h"

#include <ctime>
#include <httplib.h>
#include <regex>

namespace lintavo {

namespace {

constexpr int64_t kQrLifetimeSeconds = 300;
constexpr int64_t kAccessTokenLifetimeSeconds = 7200;
constexpr const char* kPhoneCookie = "lintavo_wx_phone";

int64_t now() {
    return std::time(nullptr);
}

bool validCodeId(const std::string& id) {
    static const std::regex pattern("^[0-9a-f]{32}$");
    return std::regex_match(id, pattern);
}

// The phone key the confirm page left in this browser, if any.
std::string phoneCookie(const httplib::Request& req) {
    std::string cookies = req.get_header_value("Cookie");
    std::string name = std::string(kPhoneCookie) + "=";
    size_t at = cookies.find(name);
    if (at == std::string::npos || (at > 0 && cookies[at - 1] != ' ' && cookies[at - 1] != ';'))
        return std::string();
    std::string value = cookies.substr(at + name.size(), 32);
    return validCodeId(value) ? value : std::string();
}

// The access token the client got with the openid travels in `auth_url`, the user-info address
// "/sns/userinfo?...&access_token=T&openid=O"; it must be one issued for that openid.
void requireAccessToken(ApiCall& call, const std::string& openid) {
    std::string access, linked;
    for (const auto& pair : QueryString::parse(QueryString::queryOf(call.param("auth_url")))) {
        if (pair.first == "access_token" && access.empty())
            access = pair.second;
        else if (pair.first == "openid" && linked.empty())
            linked = pair.second;
    }
    bool issued = !access.empty() && linked == openid &&
                  call.db().scalar(0,
                                   "SELECT COUNT(*) FROM wechat_auth WHERE access_token = ? AND "
                                   "openid = ? AND used = 1 AND created > ?",
                                   access, openid, now() - kAccessTokenLifetimeSeconds) > 0;
    if (!issued)
        throw ApiError("微信授权无效 (auth_url carries no valid access_token for this openid)");
}

void checkAppId(ApiCall& call) {
    if (call.text("app_id", 64) != call.options().wechatAppId)
        throw ApiError("app_id 无效 (unknown app_id)");
}

Json qrInfo(ApiCall& call) {
    checkAppId(call);
    std::string codeId = RandomToken::hex(16);
    call.db().run("INSERT INTO wechat_codes (code_id, app_id, created) VALUES (?, ?, ?)", codeId,
                  call.param("app_id"), now());
    return {{"code_id", codeId}, {"url", call.url("/connect/qrconnect?code_id=" + codeId)}};
}

Json pollCode(ApiCall& call) {
    std::string codeId = call.text("code_id", 64);
    if (!validCodeId(codeId))
        throw ApiError("参数错误: code_id (unknown QR code)");
    Statement& row = call.db().query("SELECT created, auth_code, delivered FROM wechat_codes "
                                     "WHERE code_id = ?",
                                     codeId);
    if (!row.step())
        throw ApiError("二维码不存在 (unknown code_id)");
    int64_t created = row.integer(0);
    std::string authCode = row.isNull(1) ? std::string() : row.text(1);
    bool delivered = row.integer(2) != 0;
    row.reset();
    if (authCode.empty() && now() - created > kQrLifetimeSeconds)
        throw ApiError("二维码已过期 (QR code expired)");
    if (authCode.empty() || delivered)
        return {{"code", ""}};
    call.db().run("UPDATE wechat_codes SET delivered = 1 WHERE code_id = ?", codeId);
    return {{"code", authCode}};
}

Json userInfo(ApiCall& call) {
    checkAppId(call);
    std::string code = call.text("code", 64);
    Statement& row =
        call.db().query("SELECT w.openid, w.access_token, u.nickname, u.sex, u.avatar "
                        "FROM wechat_auth w JOIN wechat_users u ON u.openid = w.openid "
                        "WHERE w.auth_code = ? AND w.used = 0",
                        code);
    if (code.empty() || !row.step())
        throw ApiError("code 无效或已使用 (invalid code)");
    std::string avatar = ItemBuilder(call.origin()).mediaUrl(row.text(4));
    Json data = {{"openid", row.text(0)},   {"access_token", row.text(1)},
                 {"nickname", row.text(2)}, {"sex", row.text(3)},
                 {"avatar", avatar},        {"headimgurl", avatar},
                 {"unionid", row.text(0)}};
    row.reset();
    call.db().run("UPDATE wechat_auth SET used = 1 WHERE auth_code = ?", code);
    return data;
}

Json thirdLogin(ApiCall& call) {
    if (call.text("type", 4) != "3")
        throw ApiError("参数错误: type (only WeChat, 3, is supported)");
    std::string openid = call.text("token", 64);
    call.text("nickname", 40);
    call.text("avatar", 300);
    call.text("auth_url", 500);
    requireAccessToken(call, openid);
    Statement& row = call.db().query("SELECT nickname FROM wechat_users WHERE openid = ?", openid);
    if (openid.empty() || !row.step())
        throw ApiError("微信授权无效 (unknown openid)");
    std::string nickname = row.text(0);
    row.reset();
    int64_t uid = call.db().scalar(0, "SELECT id FROM users WHERE wx_openid = ?", openid);
    if (uid == 0) {
        call.db().run("INSERT INTO users (nickname, avatar, password_hash, wx_openid, created) "
                      "VALUES (?, 'avatar-wx.png', ?, ?, ?)",
                      nickname, "!", openid, now());
        uid = call.db().lastInsertId();
    }
    return AccountEndpoints::openSession(call, uid);
}

std::string qrPage(const std::string& codeId) {
    return WebPages::page("微信登录",
                          "<p>请使用微信扫描二维码登录</p>\n"
                          "<div class=\"wrp\"><img class=\"qrcode lightBorder\" width=\"280\" "
                          "src=\"/connect/qrcode/" +
                              codeId + ".png\"></div>\n");
}

std::string confirmPage(const std::string& codeId) {
    return WebPages::page(
        "确认登录", "<form method=\"post\" action=\"/connect/confirm\">\n"
                    "<input type=\"hidden\" name=\"code_id\" value=\"" +
                        codeId +
                        "\">\n"
                        "<p>微信昵称 <input name=\"nickname\" value=\"微信用户\"></p>\n"
                        "<p><button type=\"submit\">确认登录 Lintavo</button></p>\n</form>\n");
}

void installPages(ApiRouter& router, httplib::Server& server) {
    std::string dbPath = router.databasePath();
    const std::string& origin = router.origin();
    server.Get("/connect/qrconnect", [](const httplib::Request& req, httplib::Response& res) {
        std::string codeId = req.get_param_value("code_id");
        if (!validCodeId(codeId))
            return WebPages::sendHtml(res, 404, WebPages::page("微信登录", "<p>二维码不存在</p>"));
        WebPages::sendHtml(res, 200, qrPage(codeId));
    });
    server.Get(R"(/connect/qrcode/([0-9a-f]{32})\.png)",
               [&origin](const httplib::Request& req, httplib::Response& res) {
                   std::string target = origin + "/connect/confirm?code_id=" + req.matches[1].str();
                   res.set_content(QrCodePng::render(target), "image/png");
               });
    server.Get("/connect/confirm", [](const httplib::Request& req, httplib::Response& res) {
        std::string codeId = req.get_param_value("code_id");
        if (!validCodeId(codeId))
            return WebPages::sendHtml(res, 404, WebPages::page("确认登录", "<p>二维码不存在</p>"));
        WebPages::sendHtml(res, 200, confirmPage(codeId));
    });
    server.Post("/connect/confirm", [dbPath](const httplib::Request& req, httplib::Response& res) {
        std::string error;
        Database& db = Database::forThread(dbPath);
        std::string phone = phoneCookie(req);
        bool ok = WechatEndpoints::confirm(db, req.get_param_value("code_id"),
                                           req.get_param_value("nickname"), phone, error);
        db.resetAll();
        if (ok)
            res.set_header("Set-Cookie", std::string(kPhoneCookie) + "=" + phone +
                                             "; Path=/connect; Max-Age=31536000; HttpOnly; "
                                             "SameSite=Lax");
        WebPages::sendHtml(
            res, ok ? 200 : 400,
            WebPages::page("确认登录", ok ? "<p>已确认，请回到电脑上继续</p>"
                                          : "<p>" + WebPages::escape(error) + "</p>"));
    });
    server.Get("/sns/userinfo",
               [dbPath, &origin](const httplib::Request& req, httplib::Response& res) {
                   Database& db = Database::forThread(dbPath);
                   Statement& row =
                       db.query("SELECT u.openid, u.nickname, u.sex, u.avatar FROM wechat_auth w "
                                "JOIN wechat_users u ON u.openid = w.openid WHERE "
                                "w.access_token = ? AND w.openid = ?",
                                req.get_param_value("access_token"), req.get_param_value("openid"));
                   Json answer;
                   if (row.step())
                       answer = {{"openid", row.text(0)},
                                 {"nickname", row.text(1)},
                                 {"sex", row.text(2)},
                                 {"headimgurl", ItemBuilder(origin).mediaUrl(row.text(3))}};
                   else
                       answer = {{"errcode", 40001}, {"errmsg", "invalid access_token"}};
                   db.resetAll();
                   res.set_content(dumpJson(answer), "application/json; charset=utf-8");
               });
}

} // namespace

bool WechatEndpoints::confirm(Database& db, const std::string& codeId, const std::string& nickname,
                              std::string& phoneKey, std::string& error) {
    if (!validCodeId(codeId)) {
        error = "二维码不存在 (unknown code_id)";
        return false;
    }
    std::string name = nickname.empty() ? "微信用户" : nickname.substr(0, 60);
    Statement& row = db.query("SELECT created, openid FROM wechat_codes WHERE code_id = ?", codeId);
    bool known = row.step();
    int64_t created = known ? row.integer(0) : 0;
    bool confirmed = known && !row.isNull(1);
    row.reset();
    if (!known || confirmed || now() - created > kQrLifetimeSeconds) {
        error = !known      ? "二维码不存在 (unknown code_id)"
                : confirmed ? "二维码已使用 (already confirmed)"
                            : "二维码已过期 (QR code expired)";
        return false;
    }
    std::string openid = WechatEndpoints::phoneUser(db, phoneKey, name);
    std::string authCode = RandomToken::hex(16);
    db.run("INSERT INTO wechat_auth (auth_code, openid, access_token, created) VALUES (?, ?, ?, ?)",
           authCode, openid, RandomToken::hex(20), now());
    db.run("UPDATE wechat_codes SET openid = ?, auth_code = ? WHERE code_id = ?", openid, authCode,
           codeId);
    return true;
}

std::string WechatEndpoints::phoneUser(Database& db, std::string& phoneKey,
                                       const std::string& nickname) {
    Statement& row = db.query("SELECT openid FROM wechat_phones WHERE phone_key = ?", phoneKey);
    std::string openid = row.step() ? row.text(0) : std::string();
    row.reset();
    if (!openid.empty()) {
        db.run("UPDATE wechat_users SET nickname = ? WHERE openid = ?", nickname, openid);
        return openid;
    }
    // A new WeChat user: nothing about the openid can be guessed from what others see.
    openid = "wx" + RandomToken::hex(13);
    phoneKey = RandomToken::hex(16);
    db.run("INSERT INTO wechat_users (openid, nickname, sex, avatar) VALUES (?, ?, '1', "
           "'avatar-wx.png')",
           openid, nickname);
    db.run("INSERT INTO wechat_phones (phone_key, openid) VALUES (?, ?)", phoneKey, openid);
    return openid;
}

void WechatEndpoints::install(ApiRouter& router, httplib::Server& server) {
    using S = ApiRouter::Signing;
    router.get("/weixin/getLoginQrcodeInfo", S::Required, qrInfo);
    router.get("/weixin/getCode", S::Required, pollCode);
    router.get("/weixin/weixinUserInfo", S::Required, userInfo);
    router.post("/user/third_login", S::Required, thirdLogin);
    installPages(router, server);
}

} // namespace lintavo
