// One evaluation: its parameters, the audio fed so far and the delivery of
// its single result message.
#pragma once

#include "ssound.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class SpeechModel;

class Evaluation {
public:
    Evaluation(std::string id, ssound_callback callback, const void* userData);

    // Reads the parameter document; false when it cannot be evaluated (the
    // reason is delivered by run()).
    bool configure(const char* params);
    // Keeps fed bytes; beyond the size limit the evaluation fails when run.
    void append(const void* data, size_t size);

    // Scores (unless cancelled or misconfigured) and makes the callback.
    void run(const std::shared_ptr<SpeechModel>& model);
    // Delivers an error result in place of a score.
    void fail(int code, const std::string& message);
    void cancel() { cancelled_ = true; }

    const std::string& id() const { return id_; }

private:
    void deliver(const std::string& json);
    std::string scoreAudio(const std::shared_ptr<SpeechModel>& model);
    std::string failure(int code, const std::string& message) const;

    std::string id_;
    ssound_callback callback_;
    const void* userData_;
    std::string refText_;
    std::string audioType_ = "wav";
    int sampleRate_ = 16000;
    int channels_ = 1;
    int sampleBytes_ = 2;
    int configError_ = 0;
    std::string configMessage_;
    std::vector<uint8_t> audio_;
    bool overflow_ = false;
    std::atomic<bool> cancelled_{false};
};
