#include "EngineTestSupport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

int EngineTestSupport::failures = 0;

EngineTestSupport::EngineTestSupport() {
    char pattern[] = "/tmp/lintavo-engine-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("cannot create a temporary directory");
    dir_ = pattern;
}

EngineTestSupport::~EngineTestSupport() {
    std::string cmd = "rm -rf '" + dir_ + "'";
    if (std::system(cmd.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", dir_.c_str());
}

void EngineTestSupport::check(bool ok, const char* what, const char* file, int line) {
    if (ok)
        return;
    ++failures;
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
}

std::string EngineTestSupport::speak(const std::string& name, const std::string& text,
                                     const std::string& soxArgs) {
    std::string raw = dir_ + "/" + name + ".espeak.wav", out = dir_ + "/" + name + ".wav";
    std::string quoted; // for the shell's single quotes
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    std::string cmd = "espeak-ng -v en-us -s 160 -w '" + raw + "' '" + quoted + "' && sox -R '" +
                      raw + "' " + soxArgs + " '" + out + "'";
    if (std::system(cmd.c_str()) != 0)
        throw std::runtime_error("espeak-ng/sox failed: " + cmd);
    return out;
}

std::string EngineTestSupport::sox(const std::string& name, const std::string& input,
                                   const std::string& effects) {
    std::string out = dir_ + "/" + name + ".wav";
    std::string cmd = "sox -R " + input + " '" + out + "' " + effects;
    if (std::system(cmd.c_str()) != 0)
        throw std::runtime_error("sox failed: " + cmd);
    return out;
}

std::vector<char> EngineTestSupport::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
}

std::string EngineTestSupport::params(const std::string& refText) {
    JsonValue request = JsonValue::object();
    request.set("coreType", "en.sent.score").set("refText", refText);
    JsonValue audio = JsonValue::object();
    audio.set("audioType", "wav")
        .set("channel", 1)
        .set("compress", "raw")
        .set("sampleBytes", 2)
        .set("sampleRate", 16000);
    JsonValue cloud = JsonValue::object();
    cloud.set("connectTimeout", 30).set("server", "wss://example.invalid").set("serverTimeout", 30);
    JsonValue doc = JsonValue::object();
    doc.set("app", "English LTV")
        .set("audio", audio)
        .set("cloud", cloud)
        .set("coreProvideType", "cloud")
        .set("request", request);
    return doc.serialize();
}

int EngineTestSupport::onMessage(const void* user, const char* id, int type, const void* message,
                                 int size) {
    auto* self = static_cast<EngineTestSupport*>(const_cast<void*>(user));
    Message m;
    m.id = id ? id : "";
    m.type = type;
    m.json.assign(static_cast<const char*>(message), size);
    m.thread = std::this_thread::get_id();
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->messages_.push_back(m);
    self->arrived_.notify_all();
    return 0;
}

bool EngineTestSupport::waitFor(size_t count, double seconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::duration<double>(seconds),
                             [&] { return messages_.size() >= count; });
}

std::vector<EngineTestSupport::Message> EngineTestSupport::messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

JsonValue EngineTestSupport::score(ssound* engine, const std::string& refText,
                                   const std::vector<char>& audio) {
    size_t before = messages().size();
    char id[64];
    ssound_start(engine, params(refText).c_str(), id, &EngineTestSupport::onMessage, this);
    ssound_feed(engine, audio.data(), static_cast<int>(audio.size()));
    ssound_stop(engine);
    JsonValue doc;
    if (waitFor(before + 1))
        JsonValue::parse(messages()[before].json, doc);
    return doc;
}
