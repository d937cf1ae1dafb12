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
    // Plays the phone's scan of QR `codeId` as the WeChat user `nickname`; false with `error`
    // when the code is unknown, expired or already confirmed.
    static bool confirm(Database& db, const std::string& codeId, const std::string& nickname,
                        std::string& error);
};

} // namespace lintavo
