#pragma once

namespace lintavo {

class ApiRouter;

// A teacher's class groups and homework assignment.
class ClassEndpoints {
public:
    static void install(ApiRouter& router);
};

} // namespace lintavo
