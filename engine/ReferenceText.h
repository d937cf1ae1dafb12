// Splits a reference sentence, as shown to the learner, into the words that
// are scored, and works out how each of them may be spoken.
#pragma once

#include <string>
#include <vector>

class ReferenceText {
public:
    struct Word {
        std::string written; // as in the sentence, without surrounding punctuation
        // Alternative readings, most likely first; each is a sequence of
        // lower-case ASCII dictionary keys ("42" -> {"forty", "two"}).
        // Empty when nothing in the word can be spoken (e.g. only CJK letters).
        std::vector<std::vector<std::string>> readings;
    };

    explicit ReferenceText(const std::string& utf8);

    const std::vector<Word>& words() const { return words_; }

private:
    void addToken(const std::u32string& token);
    static std::vector<std::vector<std::string>> readingsOf(const std::u32string& word);
    static std::vector<std::vector<std::string>> readingsOfPart(const std::string& part);

    std::vector<Word> words_;
};
