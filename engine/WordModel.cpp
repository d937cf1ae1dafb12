#include "WordModel.h"

#include <algorithm>
#include <cmath>
#include <sstream>

extern const char* const kWordModelText; // generated from data/word-model.txt

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
               weight("duration") * f.duration + weight("relative") * f.relative;
    return static_cast<int>(std::lround(100.0 / (1.0 + std::exp(-std::clamp(z, -50.0, 50.0)))));
}

int WordModel::phoneScore(double normalisedGoodness) {
    // A phone at its usual goodness scores about 90; two spreads below, 50.
    double z = 1.1 * (normalisedGoodness + 2.0);
    return static_cast<int>(std::lround(100.0 / (1.0 + std::exp(-std::clamp(z, -50.0, 50.0)))));
}
