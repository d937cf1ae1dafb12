#pragma once

namespace lintavo {

class ApiRouter;

// Left-list natures, categories, banners, hot searches and the home page sections.
class ContentEndpoints {
public:
    static void install(ApiRouter& router);
};

} // namespace lintavo
