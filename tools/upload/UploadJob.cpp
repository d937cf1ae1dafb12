#include "UploadJob.h"

#include "FileDigest.h"

#include <cctype>
#include <fstream>
#include <httplib.h>
#include <map>
#include <nlohmann/json.hpp>
#include <vector>

namespace {
constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr int kConnectSeconds = 10;
// The service answers once the whole file is written and checked.
constexpr int kAnswerSeconds = 60;
constexpr int kSendSeconds = 30;

std::string encodePathSegment(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string lower(std::string text) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}
} // namespace

bool UploadJob::parseArguments(int argc, char** argv, Options& options, std::string& error) {
    std::map<std::string, std::string*> names{
        {"-token", &options.token}, {"-local", &options.local}, {"-key", &options.key}};
    std::map<std::string, bool> seen;
    for (int i = 1; i < argc; ++i) {
        auto name = names.find(argv[i]);
        if (name == names.end() || i + 1 >= argc) {
            error = std::string("unexpected argument ") + argv[i] +
                    " (usage: upload -token TOKEN -local FILE -key KEY)";
            return false;
        }
        *name->second = argv[++i];
        seen[name->first] = true;
    }
    for (const auto& name : names) {
        if (!seen[name.first] || name.second->empty()) {
            error = "missing " + name.first + " (usage: upload -token TOKEN -local FILE -key KEY)";
            return false;
        }
    }
    return true;
}

UploadJob::UploadJob(std::string origin, std::ostream& progress)
    : m_origin(std::move(origin)), m_progress(progress) {
    while (!m_origin.empty() && m_origin.back() == '/')
        m_origin.pop_back();
}

UploadJob::Result UploadJob::fail(Result result, const std::string& reason) {
    m_error = oneLine(reason);
    return result;
}

void UploadJob::report(std::uint64_t current, std::uint64_t total) {
    if (m_anyReported && current == m_reported && current != 0)
        return;
    m_anyReported = true;
    m_reported = current;
    m_progress << "{\"total\":" << total << ",\"current\":" << current << "}\n";
    m_progress.flush();
}

UploadJob::Result UploadJob::run(const Options& options) {
    std::ifstream file(options.local, std::ios::binary | std::ios::ate);
    if (!file)
        return fail(LocalFile, "cannot read " + options.local);
    const std::streamoff end = file.tellg();
    if (end <= 0)
        return fail(LocalFile, options.local + " is empty");
    const auto size = std::uint64_t(end);
    file.seekg(0);

    httplib::Client client(m_origin);
    if (!client.is_valid())
        return fail(Unreachable, "bad service origin " + m_origin);
    client.set_connection_timeout(kConnectSeconds, 0);
    client.set_read_timeout(kAnswerSeconds, 0);
    client.set_write_timeout(kSendSeconds, 0);

    FileDigest digest;
    std::uint64_t sent = 0;
    bool readFailed = false;
    bool cutOff = false; // the connection broke while the body was being sent
    std::vector<char> buffer(kChunkBytes);
    auto provide = [&](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        // Bytes go out once, in order; anything else would spoil the digest.
        if (offset != sent) {
            readFailed = true;
            return false;
        }
        const std::size_t want = std::min(length, buffer.size());
        file.read(buffer.data(), std::streamsize(want));
        if (std::size_t(file.gcount()) != want) {
            readFailed = true; // the file shrank while it was being sent
            return false;
        }
        digest.update(buffer.data(), want);
        if (!sink.write(buffer.data(), want)) {
            cutOff = true;
            return false;
        }
        sent += want;
        report(sent, size);
        return true;
    };

    report(0, size);
    const httplib::Headers headers{{"X-Upload-Token", options.token}};
    httplib::Result answer = client.Put("/storage/" + encodePathSegment(options.key), headers,
                                        std::size_t(size), provide, "application/octet-stream");
    if (readFailed)
        return fail(LocalFile, options.local + " changed while it was being sent");
    if (!answer && (cutOff || sent > 0))
        return askWhyCut(client, options, sent, size);
    if (!answer)
        return fail(Unreachable, "storage at " + m_origin +
                                     " not reachable: " + httplib::to_string(answer.error()));
    return checkAnswer(answer->status, answer->body, options.key, size, digest);
}

// The service closes the connection as soon as it refuses a file (a wrong
// token, key or size), so its answer is lost in the middle of the body; the
// same request without a body brings the reason back.
UploadJob::Result UploadJob::askWhyCut(httplib::Client& client, const Options& options,
                                       std::uint64_t sent, std::uint64_t size) {
    const std::string cut = "storage closed the connection after " + std::to_string(sent) + " of " +
                            std::to_string(size) + " bytes";
    httplib::Result answer = client.Put("/storage/" + encodePathSegment(options.key),
                                        httplib::Headers{{"X-Upload-Token", options.token}}, "", 0,
                                        "application/octet-stream");
    if (!answer)
        return fail(Unreachable,
                    cut + ", then could not be reached: " + httplib::to_string(answer.error()));
    const nlohmann::json reply = nlohmann::json::parse(answer->body, nullptr, false);
    const nlohmann::json msg = reply.is_object() ? reply.value("msg", nlohmann::json()) : nullptr;
    return fail(Refused,
                cut + (msg.is_string() ? " (asked again, it said: " + msg.get<std::string>() + ")"
                                       : std::string()));
}

UploadJob::Result UploadJob::checkAnswer(int httpStatus, const std::string& body,
                                         const std::string& key, std::uint64_t size,
                                         FileDigest& digest) {
    const nlohmann::json answer = nlohmann::json::parse(body, nullptr, false);
    if (answer.is_discarded() || !answer.is_object())
        return fail(httpStatus == 200 ? Unconfirmed : Refused,
                    "storage answered HTTP " + std::to_string(httpStatus) + " without a result");
    const nlohmann::json status = answer.value("status", nlohmann::json());
    if (httpStatus != 200 || status != 1) {
        const nlohmann::json msg = answer.value("msg", nlohmann::json());
        return fail(Refused, "storage refused the file (HTTP " + std::to_string(httpStatus) +
                                 "): " + (msg.is_string() ? msg.get<std::string>() : "no reason"));
    }
    const nlohmann::json data = answer.value("data", nlohmann::json());
    if (!data.is_object())
        return fail(Unconfirmed, "storage did not describe the stored file");
    const nlohmann::json storedKey = data.value("key", nlohmann::json());
    const nlohmann::json storedSize = data.value("size", nlohmann::json());
    if (!storedKey.is_string() || storedKey.get<std::string>() != key)
        return fail(Unconfirmed, "storage confirmed another key than " + key);
    if (!storedSize.is_number_unsigned() || storedSize.get<std::uint64_t>() != size)
        return fail(Unconfirmed, "storage holds " + storedSize.dump() + " bytes instead of " +
                                     std::to_string(size));
    // Digests are checked when the service reports them.
    for (const auto& [name, local] :
         {std::pair{"md5", &FileDigest::md5}, std::pair{"sha256", &FileDigest::sha256}}) {
        const nlohmann::json stored = data.value(name, nlohmann::json());
        if (stored.is_null())
            continue;
        if (!stored.is_string() || lower(stored.get<std::string>()) != (digest.*local)())
            return fail(Unconfirmed,
                        std::string("stored file's ") + name + " differs from the file sent");
    }
    return Stored;
}
