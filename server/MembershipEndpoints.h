#pragma once

namespace httplib {
class Server;
}

namespace lintavo {

class ApiRouter;

// VIP packages, orders and the pay page that plays a completed payment.
class MembershipEndpoints {
public:
    static void install(ApiRouter& router, httplib::Server& server);
};

} // namespace lintavo
