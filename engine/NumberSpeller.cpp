#include "NumberSpeller.h"

#include <cctype>

namespace {

const char* const kOnes[] = {"zero",    "one",     "two",       "three",    "four",
                             "five",    "six",     "seven",     "eight",    "nine",
                             "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                             "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
const char* const kTens[] = {"",      "",      "twenty",  "thirty", "forty",
                             "fifty", "sixty", "seventy", "eighty", "ninety"};
const char* const kScales[] = {"", "thousand", "million", "billion", "trillion"};

bool allDigits(const std::string& s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// "one" -> "first", "twenty" -> "twentieth"
std::string ordinalOf(const std::string& word) {
    static const std::pair<const char*, const char*> irregular[] = {
        {"one", "first"},    {"two", "second"}, {"three", "third"},   {"five", "fifth"},
        {"eight", "eighth"}, {"nine", "ninth"}, {"twelve", "twelfth"}};
    for (auto& p : irregular)
        if (word == p.first)
            return p.second;
    if (word.size() > 1 && word.back() == 'y')
        return word.substr(0, word.size() - 1) + "ieth";
    return word + "th";
}

} // namespace

void NumberSpeller::below1000(unsigned n, Words& out) {
    if (n >= 100) {
        out.push_back(kOnes[n / 100]);
        out.push_back("hundred");
        n %= 100;
    }
    if (n >= 20) {
        out.push_back(kTens[n / 10]);
        if (n % 10)
            out.push_back(kOnes[n % 10]);
    } else if (n > 0) {
        out.push_back(kOnes[n]);
    }
}

NumberSpeller::Words NumberSpeller::cardinal(unsigned long long n) {
    if (n == 0)
        return {"zero"};
    Words out;
    unsigned groups[5] = {};
    int count = 0;
    while (n > 0 && count < 5) {
        groups[count++] = static_cast<unsigned>(n % 1000);
        n /= 1000;
    }
    for (int g = count - 1; g >= 0; --g) {
        if (groups[g] == 0)
            continue;
        below1000(groups[g], out);
        if (g > 0)
            out.push_back(kScales[g]);
    }
    return out;
}

NumberSpeller::Words NumberSpeller::ordinal(unsigned long long n) {
    Words out = cardinal(n);
    out.back() = ordinalOf(out.back());
    return out;
}

NumberSpeller::Words NumberSpeller::year(unsigned n) {
    Words out;
    unsigned high = n / 100, low = n % 100;
    below1000(high, out);
    if (low == 0) {
        out.push_back("hundred");
    } else {
        if (low < 10)
            out.push_back("oh");
        below1000(low, out);
    }
    return out;
}

NumberSpeller::Words NumberSpeller::digitByDigit(const std::string& digits) {
    Words out;
    for (char c : digits)
        out.push_back(kOnes[c - '0']);
    return out;
}

std::vector<NumberSpeller::Words> NumberSpeller::readings(const std::string& token) {
    std::string t;
    for (char c : token)
        if (c != ',')
            t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::vector<Words> out;
    if (allDigits(t)) {
        if (t.size() > 15)
            return {digitByDigit(t)};
        unsigned long long n = std::stoull(t);
        if (t.size() > 1 && t[0] == '0')
            out.push_back(digitByDigit(t));
        if (t.size() == 4 && n >= 1100 && n % 1000 >= 10 && !(n >= 2000 && n < 2010))
            out.push_back(year(static_cast<unsigned>(n)));
        out.push_back(cardinal(n));
        return out;
    }
    size_t digitsEnd = 0;
    while (digitsEnd < t.size() && std::isdigit(static_cast<unsigned char>(t[digitsEnd])))
        ++digitsEnd;
    std::string head = t.substr(0, digitsEnd), tail = t.substr(digitsEnd);
    if (!head.empty() && head.size() <= 15 &&
        (tail == "st" || tail == "nd" || tail == "rd" || tail == "th"))
        return {ordinal(std::stoull(head))};
    if (!head.empty() && head.size() <= 15 && tail.size() > 1 && tail[0] == '.' &&
        allDigits(tail.substr(1))) {
        Words w = cardinal(std::stoull(head));
        w.push_back("point");
        for (auto& d : digitByDigit(tail.substr(1)))
            w.push_back(d);
        return {w};
    }
    return out;
}
