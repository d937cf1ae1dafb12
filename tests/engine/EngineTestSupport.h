// Shared by the engine tests: a temporary directory with recordings made by
// espeak-ng and sox at test time, and a collector for engine results.
#pragma once

#include "JsonValue.h"
#include "ssound.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class EngineTestSupport {
public:
    struct Message {
        std::string id;
        int type = 0;
        std::string json;
        std::thread::id thread;
    };

    EngineTestSupport();
    ~EngineTestSupport();

    // Speaks `text` into a 16 kHz mono 16-bit WAV; `soxArgs` changes the
    // output format or adds effects. Returns the file's path.
    std::string speak(const std::string& name, const std::string& text,
                      const std::string& soxArgs = "-r 16000 -c 1 -b 16");
    // Runs sox with `input` options and files, then the output, then `effects`.
    std::string sox(const std::string& name, const std::string& input,
                    const std::string& effects = std::string());
    static std::vector<char> readFile(const std::string& path);

    static std::string params(const std::string& refText);
    static int onMessage(const void* user, const char* id, int type, const void* message, int size);

    // Waits up to `seconds` for `count` messages in total.
    bool waitFor(size_t count, double seconds = 30);
    std::vector<Message> messages();
    // Runs one evaluation to its result.
    JsonValue score(ssound* engine, const std::string& refText, const std::vector<char>& audio);

    static int failures;
    static void check(bool ok, const char* what, const char* file, int line);

private:
    std::string dir_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Message> messages_;
};

#define CHECK(cond) EngineTestSupport::check((cond), #cond, __FILE__, __LINE__)
