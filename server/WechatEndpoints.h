#pragma once

#include <string>

namespace httplib {
class Server;
}

namespace lintavo {

class ApiRouter;
class Database;

// The WeChat QR login simulator: QR info, the QR page and image, the phone's confirmation,
// the code poll, the user info and the account link (`/user/third_login`).
class WechatEndpoints {
public:
    static void install(ApiRouter& router, httplib::Server& server);
    // Plays the phone's scan of QR `codeId`; false with `error` when the code is unknown,
    // expired or already confirmed. The phone is the WeChat user of `phoneKey` (a secret the
    // phone keeps); a phone without a known key becomes a new WeChat user with a random openid,
    // and `phoneKey` is set to its new key.
    static bool confirm(Database& db, const std::string& codeId, const std::string& nickname,
                        std::string& phoneKey, std::string& error);
    // The openid of the phone's WeChat user, created when the key is unknown.
    static std::string phoneUser(Database& db, std::string& phoneKey, const std::string& nickname);
};

} // namespace lintavo
