#pragma once

#include "ApiCall.h"
#include "Json.h"
#include "RequestSigner.h"
#include "ServerOptions.h"

#include <functional>
#include <map>
#include <string>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace lintavo {

// Registers API endpoints: reads the parameters from the raw query or the JSON body, checks the
// signature and the timestamp, runs the handler and writes the `status`/`data`/`msg` answer.
class ApiRouter {
public:
    enum class Signing { Required, None };
    using Handler = std::function<Json(ApiCall&)>;

    ApiRouter(httplib::Server& server, const ServerOptions& options, std::string databasePath);

    void get(const std::string& path, Signing signing, Handler handler);
    void post(const std::string& path, Signing signing, Handler handler);

    const std::string& databasePath() const { return databasePath_; }
    const ServerOptions& options() const { return options_; }

    // "http://host:port" of every address in an answer: the configured origin, never the
    // request's Host header.
    const std::string& origin() const { return options_.origin; }
    static void sendJson(httplib::Response& response, int status, const Json& body,
                         const std::string& signatureState);
    static Json success(const Json& data);
    static Json failure(const std::string& message);

private:
    void handle(const httplib::Request& request, httplib::Response& response, Signing signing,
                const Handler& handler) const;
    std::map<std::string, std::string> readParams(const httplib::Request& request) const;
    std::string checkSignature(std::map<std::string, std::string>& params) const;

    httplib::Server& server_;
    const ServerOptions& options_;
    std::string databasePath_;
    RequestSigner signer_;
};

} // namespace lintavo
