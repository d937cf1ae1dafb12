#include "UploadStorage.h"

#include "ApiRouter.h"
#include "AudioProbe.h"
#include "FileResponder.h"
#include "ItemBuilder.h"
#include "RandomToken.h"
#include "Sessions.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <httplib.h>
#include <memory>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace lintavo {

namespace {

constexpr size_t kMaxFieldBytes = 1024;
// A chunked form has no overall limit; the count of remembered fields must have one.
constexpr size_t kMaxFields = 16;

// One upload in progress: resolves the token, owns the temporary file and finishes atomically:
// the key is written only when the whole file arrived and was checked, so a failed upload never
// touches a file stored before under the same key.
class Receiver {
public:
    Receiver(Database& db, const ServerOptions& options, std::string dataDir)
        : db_(db), options_(options), dataDir_(std::move(dataDir)) {}
    ~Receiver() {
        if (!temporary_.empty())
            ::unlink(temporary_.c_str());
    }

    bool authorize(const std::string& token) {
        if (token.empty() || token.size() > 100)
            return fail("缺少上传凭证 (missing upload token)");
        uid_ = Sessions(db_, options_.sessionDays).userOfUploadToken(token);
        return uid_ != 0 || fail("上传凭证无效 (invalid upload token)");
    }
    bool open(const std::string& key) {
        if (!key_.empty())
            return fail("只能上传一个文件 (one file per upload)");
        if (!UploadStorage::validKey(key))
            return fail(
                "文件名不合法 (key must be a plain file name ending in .aac, .mp3, .m4a or .wav)");
        key_ = key;
        std::string folder = dataDir_ + "/uploads/" + std::to_string(uid_);
        ::mkdir((dataDir_ + "/uploads").c_str(), 0755);
        ::mkdir(folder.c_str(), 0755);
        temporary_ = folder + "/.part-" + RandomToken::hex(8) + "." + extension();
        out_.open(temporary_, std::ios::binary | std::ios::trunc);
        return bool(out_) || fail("无法写入文件 (cannot write)");
    }
    bool write(const char* data, size_t length) {
        size_ += int64_t(length);
        if (size_ > options_.maxUploadBytes)
            return fail("文件过大 (upload larger than the limit)", 413);
        out_.write(data, std::streamsize(length));
        return bool(out_) || fail("无法写入文件 (cannot write)");
    }
    // `whole`: the body arrived to its declared end (or to the closing multipart boundary).
    bool finish(bool whole) {
        if (failed())
            return false;
        if (!whole)
            return fail("上传不完整或格式错误 (incomplete or malformed upload)");
        if (!out_.is_open())
            return fail("缺少文件内容 (no file in the request)");
        out_.close();
        if (!out_)
            return fail("无法写入文件 (cannot write)");
        if (size_ == 0)
            return fail("文件为空 (empty upload)");
        if (!withinQuota())
            return fail("存储空间已满 (upload quota exceeded)", 413);
        if (!AudioProbe::matches(temporary_, extension()))
            return fail("文件不是有效的音频 (not audio of the kind its name says)", 415);
        std::string target = dataDir_ + "/uploads/" + std::to_string(uid_) + "/" + key_;
        if (std::rename(temporary_.c_str(), target.c_str()) != 0)
            return fail("无法保存文件 (cannot store)");
        temporary_.clear();
        db_.run("INSERT OR REPLACE INTO uploads (uid, key, size, created) VALUES (?, ?, ?, ?)",
                uid_, key_, size_, int64_t(std::time(nullptr)));
        return true;
    }
    bool fail(const std::string& message, int httpStatus = 400) {
        if (error_.empty()) {
            error_ = message;
            httpStatus_ = httpStatus;
        }
        return false;
    }
    void answer(httplib::Response& res, const std::string& origin) const {
        if (!error_.empty()) {
            ApiRouter::sendJson(res, 0, ApiRouter::failure(error_), "none");
            res.status = httpStatus_;
            return;
        }
        Json data = {{"key", key_},
                     {"size", size_},
                     {"url", origin + "/uploads/" + std::to_string(uid_) + "/" + key_}};
        ApiRouter::sendJson(res, 1, ApiRouter::success(data), "none");
    }
    bool failed() const { return !error_.empty(); }
    int64_t size() const { return size_; }

private:
    std::string extension() const { return key_.substr(key_.rfind('.') + 1); }
    // The file replaces the one under its key, if any; every other file of the user counts.
    bool withinQuota() {
        int64_t others = db_.scalar(0,
                                    "SELECT COALESCE(SUM(size), 0) FROM uploads WHERE uid = ? "
                                    "AND key != ?",
                                    uid_, key_);
        return others + size_ <= options_.uploadQuotaBytes;
    }

    Database& db_;
    const ServerOptions& options_;
    std::string dataDir_;
    int64_t uid_ = 0;
    int64_t size_ = 0;
    std::string key_;
    std::string temporary_;
    std::ofstream out_;
    std::string error_;
    int httpStatus_ = 400;
};

std::string tokenOf(const httplib::Request& req) {
    std::string token = req.get_header_value("X-Upload-Token");
    return token.empty() ? req.get_param_value("token") : token;
}

bool declaredTooLarge(const httplib::Request& req, int64_t maxBytes) {
    std::string length = req.get_header_value("Content-Length");
    return ApiCall::isDigits(length) && std::stoll(length) > maxBytes + 64 * 1024;
}

void receiveRaw(Receiver& receiver, const httplib::Request& req, const std::string& key,
                const httplib::ContentReader& reader) {
    if (!receiver.authorize(tokenOf(req)) || !receiver.open(key))
        return;
    bool whole =
        reader([&](const char* data, size_t length) { return receiver.write(data, length); });
    std::string length = req.get_header_value("Content-Length");
    if (ApiCall::isDigits(length) && std::stoll(length) != receiver.size())
        whole = false;
    receiver.finish(whole);
}

void receiveMultipart(Receiver& receiver, const httplib::Request& req,
                      const httplib::ContentReader& reader) {
    std::map<std::string, std::string> fields;
    std::string current;
    bool inFile = false;
    std::string headerToken = tokenOf(req);
    // The reader fails unless the body reached its closing boundary.
    bool whole = reader(
        [&](const httplib::MultipartFormData& part) {
            current = part.name;
            if (fields.size() >= kMaxFields && !fields.count(current))
                return receiver.fail("表单字段过多 (too many form fields)");
            fields[current].clear();
            inFile = part.name == "file";
            if (!inFile)
                return true;
            // The token and key fields must come before the file itself.
            std::string token = headerToken.empty() ? fields["token"] : headerToken;
            std::string key = fields["key"].empty() ? part.filename : fields["key"];
            return receiver.authorize(token) && receiver.open(key);
        },
        [&](const char* data, size_t length) {
            if (inFile)
                return receiver.write(data, length);
            if (fields[current].size() + length > kMaxFieldBytes)
                return receiver.fail("表单字段过长 (form field too long)");
            fields[current].append(data, length);
            return true;
        });
    receiver.finish(whole);
}

// Published dubs are public (the rankings play them); any other upload only for its owner, who
// shows the upload token (header X-Upload-Token) or the auth token (parameter auth_token).
bool mayFetch(Database& db, const ServerOptions& options, const httplib::Request& req, int64_t uid,
              const std::string& key) {
    if (db.scalar(0, "SELECT COUNT(*) FROM shows WHERE audio = ?",
                  "upload:" + std::to_string(uid) + "/" + key) > 0)
        return true;
    Sessions sessions(db, options.sessionDays);
    std::string uploadToken = req.get_header_value("X-Upload-Token");
    if (!uploadToken.empty())
        return sessions.userOfUploadToken(uploadToken) == uid;
    std::string authToken = req.get_param_value("auth_token");
    return !authToken.empty() && sessions.userOfAuthToken(uid, authToken) == uid;
}

} // namespace

bool UploadStorage::validKey(const std::string& key) {
    static const std::regex pattern("^[A-Za-z0-9][A-Za-z0-9_.-]{0,127}\\.(aac|mp3|m4a|wav)$");
    return key.find("..") == std::string::npos && std::regex_match(key, pattern);
}

void UploadStorage::install(ApiRouter& router, httplib::Server& server,
                            const std::string& dataDir) {
    auto handle = [&router, dataDir](const httplib::Request& req, httplib::Response& res,
                                     const httplib::ContentReader& reader,
                                     const std::string* rawKey) {
        Database& db = Database::forThread(router.databasePath());
        Receiver receiver(db, router.options(), dataDir);
        if (declaredTooLarge(req, router.options().maxUploadBytes))
            receiver.fail("文件过大 (upload larger than the limit)", 413);
        else if (rawKey)
            receiveRaw(receiver, req, *rawKey, reader);
        else if (req.is_multipart_form_data())
            receiveMultipart(receiver, req, reader);
        else
            receiveRaw(receiver, req, req.get_param_value("key"), reader);
        db.resetAll();
        receiver.answer(res, router.origin());
    };
    server.Put(R"(/storage/([^/]+))", [handle](const httplib::Request& req, httplib::Response& res,
                                               const httplib::ContentReader& reader) {
        std::string key = req.matches[1].str();
        handle(req, res, reader, &key);
    });
    server.Post("/storage/upload", [handle](const httplib::Request& req, httplib::Response& res,
                                            const httplib::ContentReader& reader) {
        handle(req, res, reader, nullptr);
    });
    server.Get(R"(/uploads/([0-9]{1,12})/([^/]+))", [&router, dataDir](const httplib::Request& req,
                                                                       httplib::Response& res) {
        int64_t uid = std::stoll(req.matches[1].str());
        std::string key = req.matches[2].str();
        if (!validKey(key))
            return FileResponder::notFound(res);
        Database& db = Database::forThread(router.databasePath());
        bool allowed = mayFetch(db, router.options(), req, uid, key);
        db.resetAll();
        if (!allowed)
            return FileResponder::notFound(res);
        FileResponder::send(req, res, dataDir + "/uploads/" + std::to_string(uid) + "/" + key);
    });
}

} // namespace lintavo
