#include "LetterToSound.h"

#include <cctype>
#include <vector>

namespace {

struct Rule {
    const char* letters;
    const char* phones;
};

// Longest spellings first so that greedy matching prefers them.
const Rule kRules[] = {
    {"ough", "AO"}, {"tion", "SH AH N"}, {"sion", "ZH AH N"}, {"tch", "CH"},  {"igh", "AY"},
    {"sch", "S K"}, {"ck", "K"},         {"ch", "CH"},        {"sh", "SH"},   {"th", "TH"},
    {"ph", "F"},    {"wh", "W"},         {"ng", "NG"},        {"qu", "K W"},  {"ee", "IY"},
    {"ea", "IY"},   {"oo", "UW"},        {"ou", "AW"},        {"ow", "OW"},   {"oi", "OY"},
    {"oy", "OY"},   {"ai", "EY"},        {"ay", "EY"},        {"au", "AO"},   {"aw", "AO"},
    {"ei", "EY"},   {"ey", "IY"},        {"ie", "IY"},        {"ue", "UW"},   {"ew", "UW"},
    {"er", "ER"},   {"ir", "ER"},        {"ur", "ER"},        {"ar", "AA R"}, {"or", "AO R"},
    {"gh", "G"},    {"kn", "N"},         {"wr", "R"},         {"a", "AE"},    {"b", "B"},
    {"d", "D"},     {"e", "EH"},         {"f", "F"},          {"g", "G"},     {"h", "HH"},
    {"i", "IH"},    {"j", "JH"},         {"k", "K"},          {"l", "L"},     {"m", "M"},
    {"n", "N"},     {"o", "AA"},         {"p", "P"},          {"q", "K"},     {"r", "R"},
    {"s", "S"},     {"t", "T"},          {"u", "AH"},         {"v", "V"},     {"w", "W"},
    {"x", "K S"},   {"z", "Z"},
};

bool startsWith(const std::string& s, size_t pos, const char* prefix) {
    return s.compare(pos, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool isVowel(char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

} // namespace

std::string LetterToSound::phones(const std::string& input) {
    std::string word;
    for (char c : input)
        if (std::isalpha(static_cast<unsigned char>(c)))
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::vector<std::string> out;
    auto emit = [&out](const std::string& p) {
        if (out.empty() || out.back() != p) // doubled letters are one sound
            out.push_back(p);
    };
    size_t i = 0;
    while (i < word.size()) {
        char c = word[i];
        bool last = i + 1 == word.size();
        if (c == 'e' && last && out.size() > 1) { // silent final e
            ++i;
            continue;
        }
        if (c == 'c') {
            bool soft = !last && (word[i + 1] == 'e' || word[i + 1] == 'i' || word[i + 1] == 'y');
            if (!startsWith(word, i, "ch") && !startsWith(word, i, "ck")) {
                emit(soft ? "S" : "K");
                ++i;
                continue;
            }
        }
        if (c == 'y') {
            emit(i == 0 || (!last && isVowel(word[i + 1])) ? "Y" : "IY");
            ++i;
            continue;
        }
        for (const Rule& rule : kRules) {
            if (!startsWith(word, i, rule.letters))
                continue;
            std::string phones = rule.phones;
            size_t start = 0;
            while (start < phones.size()) {
                size_t space = phones.find(' ', start);
                if (space == std::string::npos)
                    space = phones.size();
                emit(phones.substr(start, space - start));
                start = space + 1;
            }
            i += std::char_traits<char>::length(rule.letters);
            break;
        }
    }
    std::string joined;
    for (auto& p : out)
        joined += (joined.empty() ? "" : " ") + p;
    return joined;
}
