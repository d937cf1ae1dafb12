// lintavo-score: scores a recording against a sentence through the engine's
// C entry points and prints the result JSON.
#include "ssound.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Outcome {
    std::mutex mutex;
    std::condition_variable done;
    std::string json;
    bool received = false;
};

int onResult(const void* userData, const char*, int type, const void* message, int) {
    if (type != SSOUND_MESSAGE_JSON)
        return 0;
    auto* outcome = static_cast<Outcome*>(const_cast<void*>(userData));
    std::lock_guard<std::mutex> lock(outcome->mutex);
    outcome->json = static_cast<const char*>(message);
    outcome->received = true;
    outcome->done.notify_all();
    return 0;
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
            continue;
        }
        out += c;
    }
    return out + "\"";
}

int usage() {
    std::fprintf(stderr, "usage: lintavo-score --text \"SENTENCE\" FILE.wav\n"
                         "Scores the reading in FILE.wav (a WAV file; 16 kHz mono 16-bit\n"
                         "preferred, other PCM formats are converted) and prints the result\n"
                         "JSON. Exit status 0 on a score, 1 on an error result, 2 on misuse.\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string text, file;
    bool haveText = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--text") == 0 && i + 1 < argc) {
            text = argv[++i];
            haveText = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return usage();
        } else if (file.empty()) {
            file = argv[i];
        } else {
            return usage();
        }
    }
    if (!haveText || file.empty())
        return usage();
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "lintavo-score: cannot read %s\n", file.c_str());
        return 2;
    }
    std::vector<char> audio((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    ssound* engine = ssound_new("{\"appKey\":\"lintavo-score\"}");
    if (!engine) {
        std::fprintf(stderr, "lintavo-score: the speech model could not be loaded\n");
        return 2;
    }
    std::string params = "{\"audio\":{\"audioType\":\"wav\",\"channel\":1,\"sampleBytes\":2,"
                         "\"sampleRate\":16000},\"request\":{\"coreType\":\"en.sent.score\","
                         "\"refText\":" +
                         jsonString(text) + "}}";
    Outcome outcome;
    char id[64];
    ssound_start(engine, params.c_str(), id, onResult, &outcome);
    ssound_feed(engine, audio.data(), static_cast<int>(audio.size()));
    ssound_stop(engine);
    {
        std::unique_lock<std::mutex> lock(outcome.mutex);
        outcome.done.wait(lock, [&outcome] { return outcome.received; });
    }
    ssound_delete(engine);
    std::printf("%s\n", outcome.json.c_str());
    return outcome.json.find("\"errId\"") == std::string::npos ? 0 : 1;
}
