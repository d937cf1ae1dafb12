#pragma once

namespace lintavo {

class ApiRouter;

// Album lists by category (including the VIP zone "vip_album"), album details and contents.
class AlbumEndpoints {
public:
    static void install(ApiRouter& router);
};

} // namespace lintavo
