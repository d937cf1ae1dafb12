#include "FileResponder.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <httplib.h>
#include <map>
#include <memory>
#include <sys/stat.h>

namespace lintavo {

std::string FileResponder::contentType(const std::string& path) {
    static const std::map<std::string, std::string> types = {
        {"mp4", "video/mp4"},
        {"mp3", "audio/mpeg"},
        {"aac", "audio/aac"},
        {"m4a", "audio/mp4"},
        {"wav", "audio/wav"},
        {"srt", "application/x-subrip; charset=utf-8"},
        {"jpg", "image/jpeg"},
        {"png", "image/png"},
        {"html", "text/html; charset=utf-8"}};
    auto dot = path.rfind('.');
    auto it = dot == std::string::npos ? types.end() : types.find(path.substr(dot + 1));
    return it == types.end() ? "application/octet-stream" : it->second;
}

void FileResponder::notFound(httplib::Response& response) {
    response.status = 404;
    response.set_content("not found\n", "text/plain; charset=utf-8");
}

bool FileResponder::answeredUnchanged(const httplib::Request& request, httplib::Response& response,
                                      const struct stat& st) {
    // Validators let a client's cache confirm its copy instead of fetching it again.
    char etag[64];
    std::snprintf(etag, sizeof etag, "\"%llx-%llx\"", static_cast<unsigned long long>(st.st_size),
                  static_cast<unsigned long long>(st.st_mtim.tv_sec) * 1000000000ULL +
                      static_cast<unsigned long long>(st.st_mtim.tv_nsec));
    char date[64];
    struct tm utc;
    std::strftime(date, sizeof date, "%a, %d %b %Y %H:%M:%S GMT", gmtime_r(&st.st_mtime, &utc));
    response.set_header("ETag", etag);
    response.set_header("Last-Modified", date);
    bool unchanged = request.has_header("If-None-Match")
                         ? request.get_header_value("If-None-Match").find(etag) != std::string::npos
                         : request.get_header_value("If-Modified-Since") == date;
    if (unchanged)
        response.status = 304;
    return unchanged;
}

bool FileResponder::send(const httplib::Request& request, httplib::Response& response,
                         const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        notFound(response);
        return false;
    }
    size_t size = size_t(st.st_size);
    if (answeredUnchanged(request, response, st))
        return true;
    for (const auto& range : request.ranges) {
        // A range that starts past the end cannot be served (the HTTP layer would miscount it).
        if (range.first >= 0 && size_t(range.first) >= size) {
            response.status = 416;
            response.set_header("Content-Range", "bytes */" + std::to_string(size));
            return false;
        }
    }
    auto file = std::make_shared<std::ifstream>(path, std::ios::binary);
    if (!*file) {
        notFound(response);
        return false;
    }
    response.set_header("Accept-Ranges", "bytes");
    response.set_content_provider(size_t(st.st_size), contentType(path),
                                  [file](size_t offset, size_t length, httplib::DataSink& sink) {
                                      char buffer[64 * 1024];
                                      file->clear();
                                      file->seekg(std::streamoff(offset));
                                      while (length > 0) {
                                          size_t chunk = std::min(length, sizeof buffer);
                                          file->read(buffer, std::streamsize(chunk));
                                          std::streamsize got = file->gcount();
                                          if (got <= 0)
                                              return false;
                                          if (!sink.write(buffer, size_t(got)))
                                              return false;
                                          length -= size_t(got);
                                      }
                                      return true;
                                  });
    return true;
}

} // namespace lintavo
