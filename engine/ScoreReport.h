// The outcome of one evaluation and its JSON form, the message the result
// callback receives.
#pragma once

#include <string>
#include <vector>

class ScoreReport {
public:
    struct PhoneScore {
        std::string phone; // ARPAbet, as in CMUdict
        int score = 0;
        int startMs = 0;
        int endMs = 0;
        double goodness = 0; // per-frame log-likelihood against the best senone
    };

    struct WordScore {
        std::string written;
        int score = 0;
        int startMs = 0;
        int endMs = 0;
        std::string error = "omission"; // "none", "mispronunciation" or "omission"
        bool inDictionary = true;
        double goodness = 0;            // per-frame log-likelihood against the best senone
        double speech = 0;              // share of its frames that hold speech
        std::vector<PhoneScore> phones; // of the pronunciation read, in order
    };

    // Speech that is not in the reference: where, and the index of the word
    // read after it (the number of words when it came after the last).
    struct ExtraSpeech {
        int startMs = 0;
        int endMs = 0;
        int before = 0;
    };

    // An error result: every score zero, every reference word listed as omitted
    // so a caller colouring the sentence still has its words.
    static ScoreReport failure(int code, const std::string& message,
                               const std::vector<std::string>& words);

    std::string toJson(const std::string& evaluationId, const std::string& refText) const;

    int overall = 0;
    int accuracy = 0;
    int integrity = 0;
    int fluency = 0;
    int pauseScore = 0;
    int speedScore = 0;
    int audioMs = 0;
    int errorCode = 0;
    std::string errorMessage;
    std::vector<WordScore> words;
    std::vector<ExtraSpeech> extra;
    int extraMs = 0; // speech in `extra`
};
