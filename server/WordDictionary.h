#pragma once

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace lintavo {

// English meanings from the WordNet database files, with WordNet's own rules for inflected
// forms (exception lists and suffix rules). Loaded on first use.
class WordDictionary {
public:
    explicit WordDictionary(std::string directory = "/usr/share/wordnet");

    // Up to three senses per part of speech, one "n. ..." style line each; "" if unknown.
    std::string meaning(const std::string& word);

private:
    struct PartOfSpeech {
        std::string file;  // "noun"
        std::string label; // "n."
        std::vector<std::pair<std::string, std::string>> suffixRules;
        std::unordered_map<std::string, std::string> indexLines;
        std::unordered_map<std::string, std::string> exceptions;
    };

    void load();
    std::vector<std::string> baseForms(const PartOfSpeech& pos, const std::string& word) const;
    std::vector<std::string> glosses(const PartOfSpeech& pos, const std::string& indexLine) const;

    std::string directory_;
    std::once_flag loaded_;
    std::vector<PartOfSpeech> parts_;
};

} // namespace lintavo
