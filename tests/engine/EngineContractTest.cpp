// The engine's C contract: call order, exactly one result per evaluation,
// results from the engine's thread, WAV header handling and error results.
#include "EngineTestSupport.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const kSentence = "Please close the window.";

bool isErrorResult(const JsonValue& doc) {
    const JsonValue& r = doc["result"];
    return doc["error"].isString() && r["overall"].toNumber(-1) == 0 &&
           r["accuracy"].toNumber(-1) == 0 && r["integrity"].toNumber(-1) == 0 &&
           r["fluency"]["overall"].toNumber(-1) == 0;
}

JsonValue parse(const std::string& json) {
    JsonValue doc;
    JsonValue::parse(json, doc);
    return doc;
}

void callOrderAndThread(EngineTestSupport& t, const std::vector<char>& good) {
    CHECK(ssound_new(nullptr) == nullptr);
    CHECK(ssound_new("not json") == nullptr);
    ssound* engine = ssound_new("{\"appKey\":\"lint\",\"secretKey\":\"0123\"}");
    CHECK(engine != nullptr);
    CHECK(ssound_feed(engine, good.data(), 10) < 0); // nothing started
    CHECK(ssound_stop(engine) < 0);
    CHECK(ssound_start(nullptr, "{}", nullptr, nullptr, nullptr) < 0);

    char id[64];
    std::memset(id, 'x', sizeof id);
    CHECK(ssound_start(engine, EngineTestSupport::params(kSentence).c_str(), id,
                       &EngineTestSupport::onMessage, &t) == 0);
    CHECK(std::strlen(id) > 0 && std::strlen(id) < 64);
    // Fed in pieces, header split from the samples.
    CHECK(ssound_feed(engine, good.data(), 20) == 0);
    CHECK(ssound_feed(engine, good.data() + 20, static_cast<int>(good.size()) - 20) == 0);
    CHECK(ssound_stop(engine) == 0);
    CHECK(ssound_stop(engine) < 0); // already stopped
    CHECK(t.waitFor(1));
    auto m = t.messages();
    CHECK(m.size() == 1 && m[0].type == SSOUND_MESSAGE_JSON && m[0].id == id);
    CHECK(m[0].thread != std::this_thread::get_id());
    JsonValue doc = parse(m[0].json);
    CHECK(doc["result"]["overall"].toNumber() > 50);
    CHECK(!doc["error"].isString());
    CHECK(m[0].json.find_first_of("\x80\xff") == std::string::npos); // plain ASCII
    CHECK(ssound_delete(engine) == 0);
}

void errorResults(EngineTestSupport& t) {
    ssound* engine = ssound_new("{}");
    size_t n = t.messages().size();
    char id[64];
    // Stop without a feed.
    ssound_start(engine, EngineTestSupport::params(kSentence).c_str(), id,
                 &EngineTestSupport::onMessage, &t);
    ssound_stop(engine);
    // Bytes that are not a WAV file, and a header without samples.
    std::vector<char> junk(3000, 7);
    t.score(engine, kSentence, junk);
    std::vector<char> headerOnly =
        EngineTestSupport::readFile(t.sox("empty", "-n -r 16000 -c 1 -b 16", "trim 0 0"));
    t.score(engine, kSentence, headerOnly);
    // Unusable parameters: a negative return, and still one error result.
    CHECK(ssound_start(engine, "{\"request\":{\"coreType\":\"cn.word\"}}", id,
                       &EngineTestSupport::onMessage, &t) < 0);
    CHECK(ssound_start(engine, "][", id, &EngineTestSupport::onMessage, &t) < 0);
    CHECK(t.waitFor(n + 5));
    auto m = t.messages();
    CHECK(m.size() == n + 5);
    // Limits that keep the engine inside the client: a text of 2,000 numbers
    // is refused at start, before any work on it (it once took minutes), and
    // audio over 120 s is refused from its header, not after decoding.
    std::string numbers;
    for (int i = 0; i < 2000; ++i)
        numbers += std::to_string(i * 7919) + " ";
    CHECK(ssound_start(engine, EngineTestSupport::params(numbers).c_str(), id,
                       &EngineTestSupport::onMessage, &t) < 0);
    CHECK(t.waitFor(n + 6, 5));
    std::string longText(1001, 'a');
    CHECK(ssound_start(engine, EngineTestSupport::params(longText).c_str(), id,
                       &EngineTestSupport::onMessage, &t) < 0);
    CHECK(t.waitFor(n + 7, 5));
    auto longAudio = EngineTestSupport::readFile(
        t.sox("long", "-n -r 8000 -c 1 -b 8 -e unsigned", "synth 121 sine 440 vol 0.3"));
    JsonValue tooLong = t.score(engine, kSentence, longAudio);
    for (size_t i = n + 5; i < n + 7; ++i)
        CHECK(parse(t.messages()[i].json)["errId"].toNumber() == 40005);
    CHECK(tooLong["errId"].toNumber() == 40011 && isErrorResult(tooLong));
    for (size_t i = n; i < m.size(); ++i) {
        JsonValue doc = parse(m[i].json);
        CHECK(isErrorResult(doc));
        if (i < n + 3) // the reference words are still listed, scored 0
            CHECK(doc["result"]["details"].items().size() == 4);
    }
    ssound_delete(engine);
}

void lifecycle(EngineTestSupport& t, const std::vector<char>& good) {
    size_t n = t.messages().size();
    char id1[64], id2[64];
    ssound* engine = ssound_new("{}");
    // A new start while the first evaluation is open supersedes it.
    ssound_start(engine, EngineTestSupport::params(kSentence).c_str(), id1,
                 &EngineTestSupport::onMessage, &t);
    ssound_feed(engine, good.data(), static_cast<int>(good.size()));
    ssound_start(engine, EngineTestSupport::params(kSentence).c_str(), id2,
                 &EngineTestSupport::onMessage, &t);
    CHECK(std::strcmp(id1, id2) != 0);
    ssound_feed(engine, good.data(), static_cast<int>(good.size()));
    ssound_stop(engine);
    // Deleted while the second is being scored: both results arrive before
    // delete returns, never after.
    ssound_delete(engine);
    auto m = t.messages();
    CHECK(m.size() == n + 2);
    if (m.size() == n + 2) {
        CHECK(m[n].id == id1 && isErrorResult(parse(m[n].json)));
        CHECK(m[n + 1].id == id2);
    }
    // Deleted with an evaluation open and never stopped.
    engine = ssound_new("{}");
    ssound_start(engine, EngineTestSupport::params(kSentence).c_str(), id1,
                 &EngineTestSupport::onMessage, &t);
    ssound_delete(engine);
    m = t.messages();
    CHECK(m.size() == n + 3 && isErrorResult(parse(m.back().json)));
}

struct SelfDeleting {
    ssound* engine = nullptr;
    int calls = 0;
};

int deleteFromCallback(const void* user, const char*, int, const void*, int) {
    auto* s = static_cast<SelfDeleting*>(const_cast<void*>(user));
    ++s->calls;
    ssound_delete(s->engine); // must neither deadlock nor crash
    return 0;
}

void deleteInsideCallback(EngineTestSupport& t) {
    SelfDeleting s;
    s.engine = ssound_new("{}");
    char id[64];
    ssound_start(s.engine, EngineTestSupport::params(kSentence).c_str(), id, &deleteFromCallback,
                 &s);
    ssound_stop(s.engine); // no audio: an error result, delivered quickly
    // A later engine still works (the engine thread was not lost).
    ssound* next = ssound_new("{}");
    auto doc = t.score(next, kSentence, EngineTestSupport::readFile(t.speak("again", kSentence)));
    CHECK(doc["result"]["overall"].toNumber() > 50);
    ssound_delete(next);
    CHECK(s.calls == 1);
}

void wavFormats(EngineTestSupport& t) {
    // Other PCM formats are converted, not rejected and not misread.
    std::string stereo = t.speak("stereo", kSentence, "-r 44100 -c 2 -b 16");
    std::string eight = t.speak("eight", kSentence, "-r 8000 -c 1 -b 8 -e unsigned");
    std::string floats = t.speak("float", kSentence, "-r 22050 -c 1 -b 32 -e floating-point");
    ssound* engine = ssound_new("{}");
    for (auto& path : {stereo, eight, floats}) {
        JsonValue doc = t.score(engine, kSentence, EngineTestSupport::readFile(path));
        CHECK(!doc["error"].isString());
        CHECK(doc["result"]["overall"].toNumber() > 40);
    }
    // An A-law WAV is not PCM: an error result, not garbage scores.
    std::string alaw = t.speak("alaw", kSentence, "-r 16000 -c 1 -e a-law");
    CHECK(isErrorResult(t.score(engine, kSentence, EngineTestSupport::readFile(alaw))));
    ssound_delete(engine);
}

} // namespace

int main() {
    EngineTestSupport t;
    auto good = EngineTestSupport::readFile(t.speak("good", kSentence));
    callOrderAndThread(t, good);
    errorResults(t);
    lifecycle(t, good);
    deleteInsideCallback(t);
    wavFormats(t);
    if (EngineTestSupport::failures)
        std::fprintf(stderr, "%d check(s) failed\n", EngineTestSupport::failures);
    return EngineTestSupport::failures ? 1 : 0;
}
