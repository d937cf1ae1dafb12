// Scores one reading of a reference sentence: aligns the sentence with the
// audio phone by phone, measures how well each phone fits against the best
// the acoustic model could have put there (goodness of pronunciation) and
// derives the word and sentence scores from it.
#pragma once

#include "ScoreReport.h"
#include "SpeechModel.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ReferenceText;
class SpeechActivity;

class PronunciationScorer {
public:
    // What one evaluation accepts: the engine runs inside the client, so a
    // sentence must stay a sentence.
    static constexpr int kMaxAudioSeconds = 120;
    static constexpr size_t kClosingSilenceSamples = 16000 * 3 / 10; // 300 ms
    static constexpr size_t kMaxWords = 100;
    static constexpr size_t kMaxCharacters = 1000;

    explicit PronunciationScorer(std::shared_ptr<SpeechModel> model);

    ScoreReport score(const std::vector<int16_t>& samples, const std::string& refText);

private:
    struct Slot {
        std::vector<std::string> pronunciations;
        bool inDictionary = true;
    };

    std::vector<Slot> slotsFor(const ReferenceText& text);
    static std::vector<int16_t> withoutOffset(const std::vector<int16_t>& samples);
    static bool nothingRead(const ScoreReport& report);
    void scoreWords(const std::vector<int16_t>& samples, const SpeechActivity& activity,
                    const std::vector<Slot>& slots, ScoreReport& report);
    static double speechShare(int first, int last, const SpeechActivity& activity);
    static double goodness(const SpeechModel::Segment& s);
    static void findExtraSpeech(const std::vector<std::pair<int, int>>& spans,
                                const SpeechActivity& activity, ScoreReport& report);
    static int nextWordAfter(const ScoreReport& report, int ms);
    static void summarise(ScoreReport& report, const std::vector<Slot>& slots);
    static void scoreFluency(ScoreReport& report);

    std::shared_ptr<SpeechModel> model_;
};
