#pragma once

namespace lintavo {

class ApiRouter;

// The user's favourite clips and albums.
class FavoriteEndpoints {
public:
    static void install(ApiRouter& router);
};

} // namespace lintavo
