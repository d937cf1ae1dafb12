// The fitted part of word scoring: each phone's usual goodness and length
// over correct readings, and the weights that turn a word's figures into its
// score. Fitted by bench/engine/fit_word_model.py; the text it writes
// (engine/data/word-model.txt) is compiled into the library.
#pragma once

#include "ScoreReport.h"

#include <map>
#include <string>
#include <vector>

class WordModel {
public:
    struct PhoneStats {
        double goodnessMean = 0, goodnessSpread = 1;
        double logMsMean = 4, logMsSpread = 0.5;
    };
    // What the model knows of one word read; see fit_word_model.py.
    struct Features {
        double goodness = 0;  // word goodness (per frame, against the best senone)
        double phoneMean = 0; // mean of its phones' normalised goodness
        double phoneMin = 0;  // its worst phone's normalised goodness
        double duration = 0;  // mean deviation of its phones' lengths
        double relative = 0;  // phoneMean against the sentence's best-read words
        double speech = 0;    // share of its frames that hold speech
        // The words read before and after it: how much longer than usual
        // the sounds touching it are (the two excesses added), how well the
        // worse of those fits (normalised goodness), and those words' worst
        // relative goodness and length deviation.
        double edgeStretch = 0;
        double edgeGoodness = 0;
        double neighbourRelative = 0;
        double neighbourDuration = 0;
    };

    // The compiled-in model.
    static const WordModel& fitted();
    // Reads the text form; false when a line is not understood.
    bool parse(const std::string& text);

    // Scores the words read in `report` (goodness and phones filled in) and
    // their phones; omitted words are left as they are. A word whose sounds
    // were aligned apart keeps only the share of its score they fill.
    void scoreWords(ScoreReport& report) const;

    const PhoneStats& phone(const std::string& name) const;
    // 0-100, 60 or more for a word said as written.
    int score(const Features& f) const;
    // 0-100 for one phone's normalised goodness.
    static int phoneScore(double normalisedGoodness);

private:
    double weight(const char* name) const;
    double lengthDeviation(const ScoreReport::PhoneScore& p, double pace) const;
    double goodnessDeviation(const ScoreReport::PhoneScore& p) const;
    // Fills in features[i] for the word i; omitted words are skipped.
    void ownFeatures(ScoreReport& report, double pace, std::vector<Features>& features) const;
    void neighbourFeatures(const ScoreReport& report, double pace,
                           std::vector<Features>& features) const;

    PhoneStats pooled_;
    std::map<std::string, PhoneStats> phones_;
    std::map<std::string, double> weights_;
};
