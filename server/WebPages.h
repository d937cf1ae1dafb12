#pragma once

#include <string>

namespace httplib {
class Server;
struct Response;
} // namespace httplib

namespace lintavo {

// The service's plain web pages (agreements, privacy, adverts, start page) and HTML helpers.
class WebPages {
public:
    static void install(httplib::Server& server);
    static std::string page(const std::string& title, const std::string& bodyHtml);
    static std::string escape(const std::string& text);
    static void sendHtml(httplib::Response& response, int status, const std::string& html);
};

} // namespace lintavo
