#include "WordModel.h"

#include <algorithm>
#include <cmath>
#include <sstream>

extern const char* const kWordModelText; // generated from data/word-model.txt

namespace {

// Where in the sentence's words the reference word lies (as fit_word_model.py
// takes it).
constexpr double kReferenceQuantile = 0.9;

double mean(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v)
        sum += x;
    return v.empty() ? 0 : sum / v.size();
}

double median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// The value a share q of v lies at or below (v sorted, index rounded).
double quantile(std::vector<double> v, double q) {
    if (v.empty())
        return 0;
    auto k = static_cast<size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
    std::nth_element(v.begin(), v.begin() + k, v.end());
    return v[k];
}

double logMs(const ScoreReport::PhoneScore& p) {
    return std::log(std::max(10, p.endMs - p.startMs));
}

// The share of a word's time its own sounds fill. The alignment may put
// silence between two sounds of a word; where it does, something else was
// said there (a replaced word the sounds were stretched over) or the word
// was broken off, and the word was not said as written.
double ownShare(const ScoreReport::WordScore& w) {
    if (w.phones.empty())
        return 1;
    int span = w.phones.back().endMs - w.phones.front().startMs, own = 0;
    for (auto& p : w.phones)
        own += p.endMs - p.startMs;
    return span > 0 ? std::min(1.0, static_cast<double>(own) / span) : 1;
}

} // namespace

const WordModel& WordModel::fitted() {
    static const WordModel model = [] {
        WordModel m;
        m.parse(kWordModelText);
        return m;
    }();
    return model;
}

bool WordModel::parse(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    bool ok = true;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind, name;
        fields >> kind;
        if (kind.empty() || kind[0] == '#')
            continue;
        PhoneStats s;
        if (kind == "pooled" &&
            fields >> s.goodnessMean >> s.goodnessSpread >> s.logMsMean >> s.logMsSpread)
            pooled_ = s;
        else if (kind == "phone" && fields >> name >> s.goodnessMean >> s.goodnessSpread >>
                                        s.logMsMean >> s.logMsSpread)
            phones_[name] = s;
        else if (double w = 0; kind == "weight" && fields >> name >> w)
            weights_[name] = w;
        else
            ok = false;
    }
    return ok;
}

const WordModel::PhoneStats& WordModel::phone(const std::string& name) const {
    auto it = phones_.find(name);
    return it == phones_.end() ? pooled_ : it->second;
}

double WordModel::weight(const char* name) const {
    auto it = weights_.find(name);
    return it == weights_.end() ? 0.0 : it->second;
}

int WordModel::score(const Features& f) const {
    double z = weight("bias") + weight("goodness") * f.goodness +
               weight("phone_mean") * f.phoneMean + weight("phone_min") * f.phoneMin +
               weight("duration") * f.duration + weight("relative") * f.relative +
               weight("speech") * f.speech + weight("edge_stretch") * f.edgeStretch +
               weight("edge_goodness") * f.edgeGoodness +
               weight("neighbour_relative") * f.neighbourRelative +
               weight("neighbour_duration") * f.neighbourDuration;
    return static_cast<int>(std::lround(100.0 / (1.0 + std::exp(-std::clamp(z, -50.0, 50.0)))));
}

int WordModel::phoneScore(double normalisedGoodness) {
    // A phone at its usual goodness scores about 90; two spreads below, 50.
    double z = 1.1 * (normalisedGoodness + 2.0);
    return static_cast<int>(std::lround(100.0 / (1.0 + std::exp(-std::clamp(z, -50.0, 50.0)))));
}

double WordModel::lengthDeviation(const ScoreReport::PhoneScore& p, double pace) const {
    const auto& st = phone(p.phone);
    return (logMs(p) - st.logMsMean - pace) / st.logMsSpread;
}

double WordModel::goodnessDeviation(const ScoreReport::PhoneScore& p) const {
    const auto& st = phone(p.phone);
    return (p.goodness - st.goodnessMean) / st.goodnessSpread;
}

void WordModel::ownFeatures(ScoreReport& report, double pace,
                            std::vector<Features>& features) const {
    std::vector<double> means;
    for (size_t i = 0; i < report.words.size(); ++i) {
        auto& w = report.words[i];
        if (w.error == "omission")
            continue;
        auto& f = features[i];
        f.goodness = w.goodness;
        std::vector<double> zs, ds;
        for (auto& p : w.phones) {
            zs.push_back(goodnessDeviation(p));
            ds.push_back(std::fabs(lengthDeviation(p, pace)));
            p.score = phoneScore(zs.back());
        }
        if (zs.empty()) { // the phone alignment failed: judge the word as a whole
            const auto& st = phone(std::string());
            zs.push_back((w.goodness - st.goodnessMean) / st.goodnessSpread);
            ds.push_back(0);
        }
        f.phoneMean = mean(zs);
        f.phoneMin = *std::min_element(zs.begin(), zs.end());
        f.duration = mean(ds);
        f.speech = w.speech;
        means.push_back(f.phoneMean);
    }
    // Against the sentence's best-read words: a voice the acoustic model fits
    // badly lowers all words alike, and a sentence with several wrong words
    // still has its good ones to compare with.
    double reference = quantile(means, kReferenceQuantile);
    for (size_t i = 0; i < report.words.size(); ++i)
        if (report.words[i].error != "omission")
            features[i].relative = features[i].phoneMean - reference;
}

void WordModel::neighbourFeatures(const ScoreReport& report, double pace,
                                  std::vector<Features>& features) const {
    // A word said in place of another rarely fits the sounds it replaces in
    // length: what the sentence's sounds do not cover goes to the words
    // around it, whose touching sounds grow long and fit badly.
    std::vector<size_t> read;
    for (size_t i = 0; i < report.words.size(); ++i)
        if (report.words[i].error != "omission" && !report.words[i].phones.empty())
            read.push_back(i);
    for (size_t k = 0; k < read.size(); ++k) {
        auto& f = features[read[k]];
        double before = 0, after = 0; // goodness of the sounds touching it
        std::vector<double> relatives, durations;
        auto touch = [&](size_t neighbour, const ScoreReport::PhoneScore& p, double& goodness) {
            f.edgeStretch += std::max(0.0, lengthDeviation(p, pace));
            goodness = goodnessDeviation(p);
            relatives.push_back(features[neighbour].relative);
            durations.push_back(features[neighbour].duration);
        };
        if (k > 0)
            touch(read[k - 1], report.words[read[k - 1]].phones.back(), before);
        if (k + 1 < read.size())
            touch(read[k + 1], report.words[read[k + 1]].phones.front(), after);
        f.edgeGoodness = std::min(before, after);
        if (!relatives.empty()) {
            f.neighbourRelative = *std::min_element(relatives.begin(), relatives.end());
            f.neighbourDuration = *std::max_element(durations.begin(), durations.end());
        }
    }
}

void WordModel::scoreWords(ScoreReport& report) const {
    // The reader's pace: how much longer than usual their phones are.
    std::vector<double> stretch;
    for (auto& w : report.words)
        for (auto& p : w.phones)
            stretch.push_back(logMs(p) - phone(p.phone).logMsMean);
    const double pace = median(stretch);
    std::vector<Features> features(report.words.size());
    ownFeatures(report, pace, features);
    neighbourFeatures(report, pace, features);
    for (size_t i = 0; i < report.words.size(); ++i) {
        auto& w = report.words[i];
        if (w.error == "omission")
            continue;
        w.score = static_cast<int>(std::lround(score(features[i]) * ownShare(w)));
        w.error = w.score >= 60 ? "none" : "mispronunciation";
    }
}
