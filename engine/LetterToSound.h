// Rough English spelling-to-phone rules for words the pronouncing dictionary
// lacks (names, invented words). Good enough to find where the word was said;
// such words are not judged on these phones (see PronunciationScorer).
#pragma once

#include <string>

class LetterToSound {
public:
    // Space-separated CMU phones for a lower-case ASCII word; never empty for
    // a word with at least one letter.
    static std::string phones(const std::string& word);
};
