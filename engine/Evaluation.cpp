#include "Evaluation.h"

#include "JsonValue.h"
#include "PronunciationScorer.h"
#include "ReferenceText.h"
#include "ScoreReport.h"
#include "WavDecoder.h"

#include <new>

namespace {

// A 120 s stereo 48 kHz 32-bit recording is about 46 MB; more is not a sentence.
constexpr size_t kMaxAudioBytes = 64u << 20;

} // namespace

Evaluation::Evaluation(std::string id, ssound_callback callback, const void* userData)
    : id_(std::move(id)), callback_(callback), userData_(userData) {}

bool Evaluation::configure(const char* params) {
    JsonValue doc;
    if (!params || !JsonValue::parse(params, doc) || !doc.isObject()) {
        configError_ = 40001;
        configMessage_ = "parameters are not a JSON object";
        return false;
    }
    const JsonValue& request = doc["request"];
    const JsonValue& audio = doc["audio"];
    refText_ = request["refText"].toString();
    std::string coreType = request["coreType"].toString("en.sent.score");
    audioType_ = audio["audioType"].toString("wav");
    sampleRate_ = static_cast<int>(audio["sampleRate"].toNumber(16000));
    channels_ = static_cast<int>(audio["channel"].toNumber(1));
    sampleBytes_ = static_cast<int>(audio["sampleBytes"].toNumber(2));
    if (coreType != "en.sent.score" && coreType != "en.word.score") {
        configError_ = 40003;
        configMessage_ = "unsupported coreType " + coreType;
    } else if (!request["refText"].isString()) {
        configError_ = 40002;
        configMessage_ = "request.refText is missing";
    } else if (audioType_ != "wav" && audioType_ != "pcm" && audioType_ != "raw") {
        configError_ = 40004;
        configMessage_ = "unsupported audioType " + audioType_;
    } else if (ReferenceText::characterCount(refText_) > PronunciationScorer::kMaxCharacters ||
               ReferenceText::writtenWords(refText_).size() > PronunciationScorer::kMaxWords) {
        // Refused before any work: alignment cost grows much faster than the text.
        configError_ = 40005;
        configMessage_ = "refText is longer than 100 words or 1000 characters";
    }
    return configError_ == 0;
}

void Evaluation::append(const void* data, size_t size) {
    if (overflow_ || size == 0)
        return;
    if (audio_.size() + size > kMaxAudioBytes) {
        overflow_ = true;
        audio_.clear();
        audio_.shrink_to_fit();
        return;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    audio_.insert(audio_.end(), bytes, bytes + size);
}

std::string Evaluation::failure(int code, const std::string& message) const {
    return ScoreReport::failure(code, message, ReferenceText::writtenWords(refText_))
        .toJson(id_, refText_);
}

std::string Evaluation::scoreAudio(const std::shared_ptr<SpeechModel>& model) {
    if (configError_)
        return failure(configError_, configMessage_);
    if (overflow_)
        return failure(40012, "audio exceeds 64 MB");
    if (audio_.empty())
        return failure(40010, "no audio was fed");
    WavDecoder decoder(PronunciationScorer::kMaxAudioSeconds);
    bool ok = audioType_ == "wav"
                  ? decoder.decodeWav(audio_)
                  : decoder.decodeRaw(audio_, {sampleRate_, channels_, sampleBytes_});
    audio_.clear();
    audio_.shrink_to_fit();
    if (!ok)
        return decoder.tooLong() ? failure(40011, decoder.error())
                                 : failure(40013, decoder.error());
    if (cancelled_)
        return failure(40020, "evaluation cancelled");
    PronunciationScorer scorer(model);
    return scorer.score(decoder.samples(), refText_).toJson(id_, refText_);
}

void Evaluation::run(const std::shared_ptr<SpeechModel>& model) {
    std::string json;
    try {
        json = cancelled_ ? failure(40020, "evaluation cancelled") : scoreAudio(model);
    } catch (const std::bad_alloc&) {
        json = failure(50001, "out of memory");
    }
    deliver(json);
}

void Evaluation::fail(int code, const std::string& message) {
    deliver(failure(code, message));
}

void Evaluation::deliver(const std::string& json) {
    if (callback_)
        callback_(userData_, id_.c_str(), SSOUND_MESSAGE_JSON, json.c_str(),
                  static_cast<int>(json.size()));
}
