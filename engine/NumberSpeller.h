// Spells digits the way a reader says them, so "42" in a sentence can be
// aligned against "forty two".
#pragma once

#include <string>
#include <vector>

class NumberSpeller {
public:
    using Words = std::vector<std::string>;

    // Every plausible reading of a digit token ("1990" also as a year,
    // "3rd" as an ordinal, "3.5" with "point"), most likely first. Empty when
    // the token is not a number.
    static std::vector<Words> readings(const std::string& token);

    static Words cardinal(unsigned long long n);

private:
    static Words ordinal(unsigned long long n);
    static Words year(unsigned n);
    static Words digitByDigit(const std::string& digits);
    static void below1000(unsigned n, Words& out);
};
