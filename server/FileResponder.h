#pragma once

#include <string>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace lintavo {

// Streams a file from disk with its content type; byte ranges are answered by the HTTP layer
// from the known length, so players can seek.
class FileResponder {
public:
    static bool send(const httplib::Request& request, httplib::Response& response,
                     const std::string& path);
    static std::string contentType(const std::string& path);
    static void notFound(httplib::Response& response);
};

} // namespace lintavo
