// One raw HTTP request through the service's HTTP layer and its request
// readers: query strings and JSON bodies of API calls (signed and unsigned),
// and the upload routes with raw and multipart bodies. The handlers behind
// the routes are trivial; the database holds only the schema.
#include "ApiRouter.h"
#include "ContentSeeder.h"
#include "Database.h"
#include "ServerOptions.h"
#include "UploadStorage.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <httplib.h>
#include <memory>
#include <unistd.h>

namespace {

// A connection whose bytes are the fuzz input; answers are thrown away.
class InputStream : public httplib::Stream {
public:
    InputStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool is_readable() const override { return true; }
    bool is_writable() const override { return true; }
    ssize_t read(char* ptr, size_t size) override {
        size_t n = std::min(size, size_ - position_);
        std::copy(data_ + position_, data_ + position_ + n, ptr);
        position_ += n;
        return ssize_t(n);
    }
    ssize_t write(const char*, size_t size) override { return ssize_t(size); }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = "127.0.0.1";
        port = 40000;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        ip = "127.0.0.1";
        port = 8642;
    }
    socket_t socket() const override { return INVALID_SOCKET; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

class Service : public httplib::Server {
public:
    Service() : folder_(makeFolder()) {
        options_.dataDir = folder_;
        options_.quiet = true;
        const std::string database = folder_ + "/lintavo.sqlite";
        {
            lintavo::Database db(database);
            lintavo::ContentSeeder(db).createSchema();
            // A learner whose upload token the seeds use, so uploads get past the token.
            db.exec("INSERT INTO users (id, nickname, avatar, password_hash, created) "
                    "VALUES (1, 'fuzz', '', '', 0);"
                    "INSERT INTO sessions (auth_token, upload_token, uid, created) "
                    "VALUES ('auth', 'tok', 1, 0);");
        }
        router_ = std::make_unique<lintavo::ApiRouter>(*this, options_, database);
        using Signing = lintavo::ApiRouter::Signing;
        auto readAll = [](lintavo::ApiCall& call) {
            return lintavo::Json{{"text", call.text("text")},
                                 {"number", call.number("number", 0, 1000)},
                                 {"id", call.optionalId("id")},
                                 {"filter", call.filter("filter")}};
        };
        router_->get("/open", Signing::None, readAll);
        router_->post("/open", Signing::None, readAll);
        router_->get("/signed", Signing::Required, readAll);
        router_->post("/signed", Signing::Required, readAll);
        lintavo::UploadStorage::install(*router_, *this, folder_);
        set_payload_max_length(size_t(options_.maxUploadBytes));
    }
    ~Service() override { std::filesystem::remove_all(folder_); }

    void serve(const uint8_t* data, size_t size) {
        InputStream stream(data, size);
        bool closed = false;
        process_request(stream, true, closed, [](httplib::Request&) {});
    }

private:
    static std::string makeFolder() {
        std::string pattern = std::filesystem::temp_directory_path() / "lintavo-fuzz.XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }

    std::string folder_;
    lintavo::ServerOptions options_;
    std::unique_ptr<lintavo::ApiRouter> router_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Service service;
    service.serve(data, size);
    return 0;
}
