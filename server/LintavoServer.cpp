#include "LintavoServer.h"

#include "AccountEndpoints.h"
#include "AlbumEndpoints.h"
#include "ApiRouter.h"
#include "ClassEndpoints.h"
#include "ContentEndpoints.h"
#include "ContentSeeder.h"
#include "CourseEndpoints.h"
#include "Database.h"
#include "DictionaryEndpoints.h"
#include "FavoriteEndpoints.h"
#include "FileResponder.h"
#include "GatedServer.h"
#include "MediaLibrary.h"
#include "MembershipEndpoints.h"
#include "ShowEndpoints.h"
#include "TestEndpoints.h"
#include "UploadStorage.h"
#include "WebPages.h"
#include "WechatEndpoints.h"
#include "WordDictionary.h"

#include <cstdio>
#include <httplib.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace lintavo {

namespace {

constexpr int kMediaWaitMs = 180000;

std::string printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text.substr(0, 300))
        out.push_back(c < 0x20 || c == 0x7f ? '?' : char(c));
    return out;
}

void makeFolders(const std::string& path) {
    for (size_t pos = 1; pos <= path.size(); ++pos)
        if (pos == path.size() || path[pos] == '/')
            ::mkdir(path.substr(0, pos).c_str(), 0755);
}

struct BodyRefusal {
    int httpStatus = 0; // 0: the body may be read
    std::string message;
};

// The HTTP layer reads a body before any handler sees it, and it limits neither a chunked
// body, nor one without a length (read until the peer closes), nor what a compressed one
// inflates to. Outside the storage routes only a plain body of known, small length is taken.
BodyRefusal refuseBody(const httplib::Request& req, int64_t maxBody) {
    std::string length = req.get_header_value("Content-Length");
    std::string encoding = req.get_header_value("Content-Encoding");
    bool hasBody = req.method == "POST" || req.method == "PUT" || req.method == "PATCH" ||
                   req.method == "DELETE";
    if (req.has_header("Transfer-Encoding") || (hasBody && length.empty()))
        return {411, "请求体缺少长度 (length required)"};
    if (!encoding.empty() && encoding != "identity")
        return {415, "请求体不能压缩 (compressed body not accepted)"};
    if (ApiCall::isDigits(length) && std::stoll(length) > maxBody)
        return {413, "请求体过大 (body too large)"};
    return {};
}

GatedServer::Limits limitsOf(const ServerOptions& options) {
    GatedServer::Limits limits;
    limits.gate.workers = options.threads;
    limits.gate.idleTimeout = std::chrono::seconds(options.idleTimeoutSeconds);
    limits.gate.headTimeout = std::chrono::seconds(options.headerTimeoutSeconds);
    limits.gate.maxWaiting = size_t(options.maxConnections);
    limits.gate.smallBody = size_t(options.maxBodyBytes);
    limits.gate.maxStreamingBodies = size_t(std::max(1, options.threads / 4));
    limits.gate.logRefusals = !options.quiet;
    limits.maxRequestsPerConnection = options.maxRequestsPerConnection;
    return limits;
}

// Every waiting connection holds a descriptor; the soft limit is often far below the hard one.
void raiseDescriptorLimit(int connections) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return;
    rlim_t wanted = rlim_t(connections) + 256;
    if (limit.rlim_cur < wanted) {
        limit.rlim_cur = std::min(wanted, limit.rlim_max);
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

LintavoServer::LintavoServer(ServerOptions options)
    : options_(std::move(options)), server_(std::make_unique<GatedServer>(limitsOf(options_))) {}

LintavoServer::~LintavoServer() = default;

void LintavoServer::prepareData() {
    makeFolders(options_.dataDir);
    makeFolders(options_.effectiveMediaDir());
    databasePath_ = options_.dataDir + "/lintavo.sqlite";
    Database db(databasePath_);
    ContentSeeder seeder(db);
    seeder.createSchema();
    media_ = std::make_unique<MediaLibrary>(options_.effectiveMediaDir());
    auto timings = media_->prepareTimings();
    if (!seeder.isSeeded())
        seeder.seed(timings);
    for (const auto& line : ContentSeeder::demoAccountLines())
        std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (options_.waitForMedia)
        media_->generateAllNow();
    else
        media_->startBackground();
}

void LintavoServer::installMedia() {
    MediaLibrary* media = media_.get();
    server_->Get(R"(/media/(.+))", [media](const httplib::Request& req, httplib::Response& res) {
        std::string path = media->resolve(req.matches[1].str(), kMediaWaitMs);
        if (path.empty())
            return FileResponder::notFound(res);
        FileResponder::send(req, res, path);
    });
}

void LintavoServer::installRoutes() {
    router_ = std::make_unique<ApiRouter>(*server_, options_, databasePath_);
    dictionary_ = std::make_unique<WordDictionary>();
    ContentEndpoints::install(*router_);
    CourseEndpoints::install(*router_);
    AlbumEndpoints::install(*router_);
    FavoriteEndpoints::install(*router_);
    AccountEndpoints::install(*router_);
    ClassEndpoints::install(*router_);
    ShowEndpoints::install(*router_);
    if (options_.testEndpoints)
        TestEndpoints::install(*router_);
    WechatEndpoints::install(*router_, *server_);
    MembershipEndpoints::install(*router_, *server_);
    UploadStorage::install(*router_, *server_, options_.dataDir);
    DictionaryEndpoints::install(*router_, *server_, *dictionary_, options_.dataDir);
    WebPages::install(*server_);
    installMedia();
}

void LintavoServer::configureServer() {
    server_->set_payload_max_length(size_t(options_.maxUploadBytes) + 1024 * 1024);
    int64_t maxBody = options_.maxBodyBytes;
    server_->set_pre_routing_handler(
        [maxBody](const httplib::Request& req, httplib::Response& res) {
            // API bodies are small; only the storage routes take large ones.
            if (req.path.rfind("/storage/", 0) == 0)
                return httplib::Server::HandlerResponse::Unhandled;
            BodyRefusal refusal = refuseBody(req, maxBody);
            if (refusal.httpStatus == 0)
                return httplib::Server::HandlerResponse::Unhandled;
            ApiRouter::sendJson(res, 0, ApiRouter::failure(refusal.message), "none");
            res.status = refusal.httpStatus;
            res.set_header("Connection", "close"); // the unread body must not be taken as a request
            return httplib::Server::HandlerResponse::Handled;
        });
    bool quiet = options_.quiet;
    server_->set_logger([quiet](const httplib::Request& req, const httplib::Response& res) {
        if (quiet)
            return;
        std::string status = res.get_header_value("X-Lintavo-Status");
        std::string sig = res.get_header_value("X-Lintavo-Signature");
        std::fprintf(stderr, "%s %s status=%s sig=%s http=%d\n", req.method.c_str(),
                     printable(req.path).c_str(), status.empty() ? "-" : status.c_str(),
                     sig.empty() ? "none" : sig.c_str(), res.status);
    });
    server_->set_exception_handler(
        [](const httplib::Request& req, httplib::Response& res, std::exception_ptr error) {
            std::string what = "unknown";
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) {
            }
            std::fprintf(stderr, "error: %s %s: %s\n", req.method.c_str(),
                         printable(req.path).c_str(), what.c_str());
            res.status = 500;
            res.set_content("internal error\n", "text/plain; charset=utf-8");
        });
}

int LintavoServer::prepare() {
    try {
        prepareData();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lintavo-server: cannot prepare data: %s\n", e.what());
        return -1;
    }
    raiseDescriptorLimit(options_.maxConnections);
    configureServer();
    int port = server_->bindTo(options_.bind, options_.port);
    if (port <= 0) {
        std::fprintf(stderr, "lintavo-server: cannot bind %s:%d\n", options_.bind.c_str(),
                     options_.port);
        return -1;
    }
    if (options_.origin.empty())
        options_.origin = "http://" + options_.announcedHost() + ":" + std::to_string(port);
    installRoutes();
    return port;
}

bool LintavoServer::serve() {
    return server_->serve();
}

void LintavoServer::stop() {
    server_->stop();
}

} // namespace lintavo
