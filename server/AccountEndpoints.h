#pragma once

#include "Json.h"

#include <cstdint>

namespace lintavo {

class ApiCall;
class ApiRouter;

// Password and SMS-code logins, SMS codes and logout.
class AccountEndpoints {
public:
    static void install(ApiRouter& router);
    // Starts a session for `uid` and answers with the user record the client stores.
    static Json openSession(ApiCall& call, int64_t uid);
    // Latest unexpired SMS code of a mobile ("" if none), for the loopback test endpoint.
    static std::string pendingCode(ApiCall& call, const std::string& mobile);
    static bool validMobile(const std::string& mobile);
};

} // namespace lintavo
