#include "WordDictionary.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace lintavo {

namespace {

constexpr size_t kSensesPerPart = 3;

std::string definitionOf(const std::string& dataLine) {
    auto bar = dataLine.find(" | ");
    if (bar == std::string::npos)
        return std::string();
    std::string gloss = dataLine.substr(bar + 3);
    auto example = gloss.find("; \"");
    if (example != std::string::npos)
        gloss = gloss.substr(0, example);
    while (!gloss.empty() && (gloss.back() == ' ' || gloss.back() == '\n' || gloss.back() == '\r'))
        gloss.pop_back();
    return gloss;
}

} // namespace

WordDictionary::WordDictionary(std::string directory) : directory_(std::move(directory)) {
    parts_ = {
        {"noun",
         "n.",
         {{"s", ""},
          {"ses", "s"},
          {"xes", "x"},
          {"zes", "z"},
          {"ches", "ch"},
          {"shes", "sh"},
          {"men", "man"},
          {"ies", "y"}},
         {},
         {}},
        {"verb",
         "v.",
         {{"s", ""},
          {"ies", "y"},
          {"es", "e"},
          {"es", ""},
          {"ed", "e"},
          {"ed", ""},
          {"ing", "e"},
          {"ing", ""}},
         {},
         {}},
        {"adj", "adj.", {{"er", ""}, {"est", ""}, {"er", "e"}, {"est", "e"}}, {}, {}},
        {"adv", "adv.", {}, {}, {}},
    };
}

void WordDictionary::load() {
    for (auto& pos : parts_) {
        std::ifstream index(directory_ + "/index." + pos.file);
        std::string line;
        while (std::getline(index, line)) {
            if (line.empty() || line[0] == ' ')
                continue; // licence header
            pos.indexLines.emplace(line.substr(0, line.find(' ')), line);
        }
        std::ifstream exceptions(directory_ + "/" + pos.file + ".exc");
        while (std::getline(exceptions, line)) {
            std::istringstream fields(line);
            std::string inflected, base;
            if (fields >> inflected >> base)
                pos.exceptions.emplace(inflected, base);
        }
    }
}

std::vector<std::string> WordDictionary::baseForms(const PartOfSpeech& pos,
                                                   const std::string& word) const {
    std::vector<std::string> forms = {word};
    auto exception = pos.exceptions.find(word);
    if (exception != pos.exceptions.end())
        forms.push_back(exception->second);
    for (const auto& rule : pos.suffixRules) {
        const std::string& suffix = rule.first;
        if (word.size() > suffix.size() + 1 &&
            word.compare(word.size() - suffix.size(), suffix.size(), suffix) == 0)
            forms.push_back(word.substr(0, word.size() - suffix.size()) + rule.second);
    }
    return forms;
}

std::vector<std::string> WordDictionary::glosses(const PartOfSpeech& pos,
                                                 const std::string& indexLine) const {
    std::istringstream fields(indexLine);
    std::string lemma, p;
    size_t synsets = 0, pointers = 0;
    fields >> lemma >> p >> synsets >> pointers;
    std::string skip;
    for (size_t i = 0; i < pointers + 2; ++i) // pointer symbols, sense_cnt, tagsense_cnt
        fields >> skip;
    std::ifstream data(directory_ + "/data." + pos.file);
    std::vector<std::string> out;
    std::string offset;
    while (out.size() < std::min(synsets, kSensesPerPart) && fields >> offset) {
        data.seekg(std::streamoff(std::stoll(offset)));
        std::string line;
        if (std::getline(data, line)) {
            std::string gloss = definitionOf(line);
            if (!gloss.empty())
                out.push_back(gloss);
        }
    }
    return out;
}

std::string WordDictionary::meaning(const std::string& word) {
    std::call_once(loaded_, [this] { load(); });
    std::string key = word;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return c == ' ' ? '_' : char(std::tolower(c)); });
    std::string text;
    for (const auto& pos : parts_) {
        for (const auto& form : baseForms(pos, key)) {
            auto line = pos.indexLines.find(form);
            if (line == pos.indexLines.end())
                continue;
            auto senses = glosses(pos, line->second);
            if (senses.empty())
                continue;
            std::string joined;
            for (const auto& s : senses)
                joined += (joined.empty() ? "" : "; ") + s;
            text += (text.empty() ? "" : "\n") + pos.label + " " + joined;
            break;
        }
    }
    return text;
}

} // namespace lintavo
