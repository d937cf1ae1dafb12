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

int WordModel::score(const Features& f) const {
    auto weight = [this](const char* name) {
        auto it = weights_.find(name);
        return it == weights_.end() ? 0.0 : it->second;
    };
    double z = weight("bias") + weight("goodness") * f.goodness +
               weight("phone_mean") * f.phoneMean + weight("phone_min") * f.phoneMin +
               weight("duration") * f.duration + weight("relative") * f.relative +
               weight("speech") * f.speech;
    return static_cast<int>(std::lround(100.0 / (1.0 + std::exp(-std::clamp(z, -50.0, 50.0)))));
}

int WordModel::phoneScore(double normalisedGoodness) {
    // A phone at its usual goodness scores about 90; two spreads below, 50.
    double z = 1.1 * (normalisedGoodness + 2.0);
    return static_cast<int>(std::lround(100.0 / (1.0 + std::exp(-std::clamp(z, -50.0, 50.0)))));
}

void WordModel::scoreWords(ScoreReport& report) const {
    const WordModel& model = *this;
    // The reader's pace: how much longer than usual their phones are.
    std::vector<double> stretch;
    for (auto& w : report.words)
        for (auto& p : w.phones)
            stretch.push_back(logMs(p) - model.phone(p.phone).logMsMean);
    double pace = median(stretch);
    std::vector<WordModel::Features> features(report.words.size());
    std::vector<double> means;
    for (size_t i = 0; i < report.words.size(); ++i) {
        auto& w = report.words[i];
        if (w.error == "omission")
            continue;
        auto& f = features[i];
        f.goodness = w.goodness;
        std::vector<double> zs, ds;
        for (auto& p : w.phones) {
            const auto& st = model.phone(p.phone);
            zs.push_back((p.goodness - st.goodnessMean) / st.goodnessSpread);
            ds.push_back(std::fabs(logMs(p) - st.logMsMean - pace) / st.logMsSpread);
            p.score = WordModel::phoneScore(zs.back());
        }
        if (zs.empty()) { // the phone alignment failed: judge the word as a whole
            const auto& st = model.phone(std::string());
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
    for (size_t i = 0; i < report.words.size(); ++i) {
        auto& w = report.words[i];
        if (w.error == "omission")
            continue;
        features[i].relative = features[i].phoneMean - reference;
        w.score = model.score(features[i]);
        w.error = w.score >= 60 ? "none" : "mispronunciation";
    }
}
