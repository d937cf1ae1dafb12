#pragma once

#include <string>

struct stat;

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

private:
    // Sends the file's ETag and Last-Modified; true (and 304) when the request's
    // conditional headers name the file as it is.
    static bool answeredUnchanged(const httplib::Request& request, httplib::Response& response,
                                  const struct stat& st);
};

} // namespace lintavo
