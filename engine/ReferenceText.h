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

    // The words as written, without working out their readings: cheap even
    // for a text far beyond what is ever scored.
    static std::vector<std::string> writtenWords(const std::string& utf8);
    // Characters (code points) in a UTF-8 text.
    static size_t characterCount(const std::string& utf8);

private:
    // Calls `add` with each word of the text, surrounding punctuation removed.
    template <typename Add> static void split(const std::string& utf8, Add add);

    static std::vector<std::vector<std::string>> readingsOf(const std::u32string& word);
    static std::vector<std::vector<std::string>> readingsOfPart(const std::string& part);

    std::vector<Word> words_;
};
