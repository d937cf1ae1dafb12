#include "ReferenceText.h"

#include "Utf8.h"

#include "NumberSpeller.h"

#include <cctype>

namespace {

constexpr size_t kMaxReadings = 4;

std::u32string decodeUtf8(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i++]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t cp = c & (0x3F >> extra);
        if (extra == 0 || i + extra > s.size()) {
            out += c; // stray byte: keep it as Latin-1
            continue;
        }
        bool ok = true;
        for (int k = 0; k < extra; ++k) {
            unsigned char n = static_cast<unsigned char>(s[i + k]);
            ok = ok && (n & 0xC0) == 0x80;
            cp = (cp << 6) | (n & 0x3F);
        }
        if (!ok) {
            out += c;
            continue;
        }
        i += extra;
        out += cp;
    }
    return out;
}

std::string encodeUtf8(const std::u32string& s) {
    std::string out;
    for (char32_t cp : s)
        appendUtf8(out, cp);
    return out;
}

bool isApostrophe(char32_t c) {
    return c == U'\'' || c == U'\u2019' || c == U'\u2018';
}

bool isSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f' || c == U'\v' ||
           c == U'\u00A0' || (c >= U'\u2000' && c <= U'\u200B') || c == U'\u3000';
}

// Separators that join two words without a space: dashes and ellipses.
bool isWordBreak(char32_t c) {
    return c == U'\u2013' || c == U'\u2014' || c == U'\u2026';
}

bool isLetterOrDigit(char32_t c) {
    if (c < 0x80)
        return std::isalnum(static_cast<int>(c)) != 0;
    if (c < 0xC0 || c == 0xD7 || c == 0xF7)
        return false;
    if ((c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F) ||
        (c >= 0xFF00 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) ||
        (c >= 0xFE30 && c <= 0xFE4F))
        return false;
    return true;
}

// Folds Latin letters with diacritics to the ASCII letters a reader of
// English would say; letters of other scripts have no spelling here.
std::string foldToAscii(char32_t c) {
    if (c < 0x80)
        return std::string(1, static_cast<char>(std::tolower(static_cast<int>(c))));
    static const char* const latin1 = // U+00C0 .. U+00FF
        "aaaaaaeceeeeiiiidnooooo-ouuuuyts"
        "aaaaaaeceeeeiiiidnooooo-ouuuuyty";
    if (c >= 0xC0 && c <= 0xFF) {
        if (c == 0xC6 || c == 0xE6)
            return "ae";
        if (c == 0xDE || c == 0xFE)
            return "th";
        if (c == 0xDF)
            return "ss";
        return std::string(1, latin1[c - 0xC0]);
    }
    static const char* const extendedA = // U+0100 .. U+017F
        "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiijjjjkkklllllll"
        "lllnnnnnnnnnoooooooorrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x152 || c == 0x153)
            return "oe";
        return std::string(1, extendedA[c - 0x100]);
    }
    return std::string();
}

bool hasDigit(const std::string& s) {
    for (char c : s)
        if (std::isdigit(static_cast<unsigned char>(c)))
            return true;
    return false;
}

// Cross product of part readings, capped so a long compound cannot explode.
void appendCombinations(std::vector<std::vector<std::string>>& acc,
                        const std::vector<std::vector<std::string>>& part) {
    if (part.empty())
        return;
    if (acc.empty()) {
        acc = part;
        return;
    }
    std::vector<std::vector<std::string>> next;
    for (auto& a : acc)
        for (auto& p : part) {
            if (next.size() >= kMaxReadings)
                break;
            auto joined = a;
            joined.insert(joined.end(), p.begin(), p.end());
            next.push_back(std::move(joined));
        }
    acc.swap(next);
}

} // namespace

template <typename Add> void ReferenceText::split(const std::string& utf8, Add add) {
    std::u32string text = decodeUtf8(utf8), token;
    auto flush = [&] {
        size_t first = 0, last = token.size();
        while (first < last && !isLetterOrDigit(token[first]))
            ++first;
        while (last > first && !isLetterOrDigit(token[last - 1]))
            --last;
        if (first < last) // not punctuation only
            add(token.substr(first, last - first));
        token.clear();
    };
    for (char32_t c : text) {
        if (isSpace(c) || isWordBreak(c))
            flush();
        else
            token += c;
    }
    flush();
}

ReferenceText::ReferenceText(const std::string& utf8) {
    split(utf8, [this](const std::u32string& word) {
        words_.push_back({encodeUtf8(word), readingsOf(word)});
    });
}

std::vector<std::string> ReferenceText::writtenWords(const std::string& utf8) {
    std::vector<std::string> out;
    split(utf8, [&out](const std::u32string& word) { out.push_back(encodeUtf8(word)); });
    return out;
}

size_t ReferenceText::characterCount(const std::string& utf8) {
    size_t n = 0;
    for (char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::vector<std::vector<std::string>> ReferenceText::readingsOf(const std::u32string& word) {
    // Inner punctuation other than apostrophes ("well-known", "U.S", "and/or")
    // separates parts that are spoken one after the other.
    std::vector<std::string> parts(1);
    for (char32_t c : word) {
        if (isApostrophe(c))
            parts.back() += '\'';
        else if (isLetterOrDigit(c))
            parts.back() += foldToAscii(c);
        else if (!parts.back().empty())
            parts.emplace_back();
    }
    std::vector<std::vector<std::string>> acc;
    for (auto& part : parts)
        appendCombinations(acc, readingsOfPart(part));
    return acc;
}

std::vector<std::vector<std::string>> ReferenceText::readingsOfPart(const std::string& raw) {
    std::string part = raw;
    while (!part.empty() && part.front() == '\'')
        part.erase(part.begin());
    while (!part.empty() && part.back() == '\'')
        part.pop_back();
    if (part.empty())
        return {};
    if (!hasDigit(part))
        return {{part}};
    auto numbers = NumberSpeller::readings(part);
    if (!numbers.empty())
        return numbers;
    // Letters and digits mixed ("mp3", "4x4"): speak each run in turn.
    std::vector<std::vector<std::string>> acc;
    size_t i = 0;
    while (i < part.size()) {
        bool digit = std::isdigit(static_cast<unsigned char>(part[i])) != 0;
        size_t j = i;
        while (j < part.size() && (std::isdigit(static_cast<unsigned char>(part[j])) != 0) == digit)
            ++j;
        std::string run = part.substr(i, j - i);
        if (digit)
            appendCombinations(acc, NumberSpeller::readings(run));
        else if (run != "'")
            appendCombinations(acc, {{run}});
        i = j;
    }
    return acc;
}
