#pragma once

#include <string>

namespace lintavo {

class ApiRouter;

// Clip lists with their filters and sort, keyword search and clip details.
class CourseEndpoints {
public:
    static void install(ApiRouter& router);
    // "%keyword%" for LIKE, with the LIKE wildcards of the keyword escaped by a backslash.
    static std::string likePattern(const std::string& keyword);
};

} // namespace lintavo
