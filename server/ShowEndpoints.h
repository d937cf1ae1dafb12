#pragma once

namespace lintavo {

class ApiRouter;

// Published dubs: publication, the clip's ranking and one dub's details.
class ShowEndpoints {
public:
    static void install(ApiRouter& router);
};

} // namespace lintavo
