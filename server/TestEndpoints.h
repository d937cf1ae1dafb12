#pragma once

namespace httplib {
class Server;
}

namespace lintavo {

class ApiRouter;

// Helpers for automated tests, installed only with --test-endpoints and answered only to
// callers on the loopback interface: the last SMS code of a mobile and the phone's confirmation
// of a WeChat QR code.
class TestEndpoints {
public:
    static void install(ApiRouter& router);
};

} // namespace lintavo
