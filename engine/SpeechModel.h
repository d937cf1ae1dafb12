// The process-wide PocketSphinx decoder: the acoustic model, the pronouncing
// dictionary and the sentence alignment scoring needs. Loaded once and shared by every engine;
// calls are serialised because a decoder decodes one utterance at a time.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct ps_decoder_s;
struct cmd_ln_s;

class SpeechModel {
public:
    static constexpr int kFramesPerSecond = 100;

    struct Segment {
        int slot = -1;     // index of the aligned word, -1 for silence and fillers
        int variant = -1;  // which of the slot's pronunciations
        int phone = -1;    // position of the phone in that pronunciation
        std::string label; // word or phone name as decoded (fillers: "<sil>", "[NOISE]", ...)
        int startFrame = 0;
        int endFrame = 0;       // inclusive
        long long acoustic = 0; // acoustic log score over the segment (decoder units)
    };

    // The shared instance, loading the model on first use; null when the model
    // cannot be loaded (the reason goes to loadError()).
    static std::shared_ptr<SpeechModel> shared();
    static std::string loadError();

    ~SpeechModel();
    SpeechModel(const SpeechModel&) = delete;
    SpeechModel& operator=(const SpeechModel&) = delete;

    // Dictionary pronunciations of a lower-case word, all variants.
    std::vector<std::string> pronunciations(const std::string& word);

    // Aligns the audio with a sentence whose slots may each be spoken with any
    // of their pronunciations (space-separated phones), phone by phone: one
    // segment per phone read (slot, variant, its position in the
    // pronunciation, label: the phone), plus fillers. Scores are against the
    // best senone of each frame. The slots are read in order, every one of
    // them; with `mayStop` the reading may stop before any of them, leaving
    // out the rest. Empty when no reading fits the audio.
    std::vector<Segment> align(const std::vector<int16_t>& samples,
                               const std::vector<std::vector<std::string>>& slots, bool mayStop);

private:
    SpeechModel() = default;
    bool load(const std::string& modelDir, std::string& error);
    using Place = std::pair<int, int>; // where a dictionary word of the grammar belongs
    std::string wordFor(const std::string& phones, int occurrence);
    // Decodes with the grammar `rule` and sets each segment's slot and
    // variant from `places` (fillers keep -1).
    std::vector<Segment> decodeRule(const std::vector<int16_t>& samples, const char* search,
                                    const std::string& rule,
                                    const std::map<std::string, Place>& places);
    bool decode(const std::vector<int16_t>& samples, const char* search);
    // Segments of the last decode, in time order.
    std::vector<Segment> segments();
    void setBeams(double beam, double wordBeam);

    ps_decoder_s* decoder_ = nullptr;
    cmd_ln_s* config_ = nullptr;
    std::mutex mutex_;
};
