#include "ApiRouter.h"

#include "ApiError.h"
#include "JsonParams.h"
#include "QueryString.h"

#include <chrono>
#include <cstdio>
#include <httplib.h>

namespace lintavo {

namespace {

constexpr size_t kMaxValueBytes = 4096;

// Signature outcome carried through the exception path to the log line.
class SignatureError : public ApiError {
public:
    SignatureError(const std::string& message, std::string state)
        : ApiError(message), state(std::move(state)) {}
    std::string state;
};

int64_t nowSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace

ApiRouter::ApiRouter(httplib::Server& server, const ServerOptions& options,
                     std::string databasePath)
    : server_(server), options_(options), databasePath_(std::move(databasePath)),
      signer_(options.signingKey) {}

void ApiRouter::get(const std::string& path, Signing signing, Handler handler) {
    server_.Get(path,
                [this, signing, handler](const httplib::Request& req, httplib::Response& res) {
                    handle(req, res, signing, handler);
                });
}

void ApiRouter::post(const std::string& path, Signing signing, Handler handler) {
    server_.Post(path,
                 [this, signing, handler](const httplib::Request& req, httplib::Response& res) {
                     handle(req, res, signing, handler);
                 });
}

Json ApiRouter::success(const Json& data) {
    Json answer;
    answer["status"] = 1;
    answer["msg"] = "ok";
    answer["data"] = data;
    return answer;
}

Json ApiRouter::failure(const std::string& message) {
    Json answer;
    answer["status"] = 0;
    answer["msg"] = message;
    answer["data"] = nullptr;
    return answer;
}

void ApiRouter::sendJson(httplib::Response& response, int status, const Json& body,
                         const std::string& signatureState) {
    response.status = 200;
    response.set_header("X-Lintavo-Status", std::to_string(status));
    response.set_header("X-Lintavo-Signature", signatureState);
    response.set_content(dumpJson(body), "application/json; charset=utf-8");
}

std::map<std::string, std::string> ApiRouter::readParams(const httplib::Request& request) const {
    std::map<std::string, std::string> params;
    for (auto& pair : QueryString::parse(QueryString::queryOf(request.target)))
        params.emplace(pair.first, pair.second); // the first of repeated keys wins
    if (request.method != "POST" || request.body.empty())
        return params;
    if (request.body.size() > size_t(options_.maxBodyBytes))
        throw ApiError("请求体过大 (body too large)");
    if (!JsonParams::parseObject(request.body, params))
        throw ApiError("请求体不是 JSON 对象 (body is not a JSON object)");
    return params;
}

std::string ApiRouter::checkSignature(std::map<std::string, std::string>& params) const {
    auto sign = params.find("sign");
    if (sign == params.end())
        sign = params.find("signature");
    if (sign == params.end() || sign->second.empty())
        throw SignatureError("缺少签名 (missing signature)", "none");
    std::string signature = sign->second;
    // Three query templates spell the timestamp key "timesamp"; it is signed as `timestamp`.
    std::map<std::string, std::string> signedMap;
    for (auto& entry : params)
        signedMap[entry.first == "timesamp" ? "timestamp" : entry.first] = entry.second;
    if (!signer_.verify(signedMap, signature))
        throw SignatureError("签名错误 (bad signature)", "bad");
    const std::string& ts = signedMap["timestamp"];
    if (!ApiCall::isDigits(ts))
        throw SignatureError("缺少时间戳 (missing or non-numeric timestamp)", "ok");
    if (std::llabs(std::stoll(ts) - nowSeconds()) > options_.timeWindowSeconds)
        throw SignatureError("请求已过期 (stale timestamp)", "ok");
    params.emplace("timestamp", ts);
    return "ok";
}

void ApiRouter::handle(const httplib::Request& request, httplib::Response& response,
                       Signing signing, const Handler& handler) const {
    std::string signatureState = "none";
    Database* db = nullptr;
    try {
        auto params = readParams(request);
        for (auto& entry : params)
            if (entry.first.size() > 64 || entry.second.size() > kMaxValueBytes)
                throw ApiError("参数过长: " + entry.first.substr(0, 64) + " (value too long)");
        if (signing == Signing::Required)
            signatureState = checkSignature(params);
        db = &Database::forThread(databasePath_);
        ApiCall call(request, std::move(params), *db, options_, origin());
        Json data = handler(call);
        db->resetAll();
        sendJson(response, 1, success(data), signatureState);
    } catch (const SignatureError& e) {
        sendJson(response, 0, failure(e.what()), e.state);
    } catch (const ApiError& e) {
        if (db)
            db->resetAll();
        sendJson(response, 0, failure(e.what()), signatureState);
    } catch (const std::exception& e) {
        if (db)
            db->resetAll();
        std::fprintf(stderr, "error: %s %s: %s\n", request.method.c_str(), request.path.c_str(),
                     e.what());
        sendJson(response, 0, failure("服务器内部错误 (internal error)"), signatureState);
    }
}

} // namespace lintavo
