#pragma once

#include <string>
#include <vector>

namespace lintavo {

struct SeedSentence {
    std::string en;
    std::string cn;
};

struct SeedClip {
    int album;
    int nature;
    int category;
    std::string title;
    std::string subTitle;
    std::string difficulty;
    std::string isVip;
    // espeak-ng voices; with two voices the sentences alternate between them (several roles).
    std::vector<std::string> voices;
    int wordsPerMinute;
    int role; // 1 male, 2 female, 3 several roles
    std::vector<SeedSentence> sentences;
};

struct SeedAlbum {
    std::string title;
    std::string description;
    std::string difficulty;
    std::string isVip;
    int category;
};

struct SeedUser {
    std::string account;
    std::string mobile;
    std::string password; // empty: the account cannot log in with a password
    std::string nickname;
    bool vip;
    bool teacher;
};

// The content a fresh service starts with. Ids are 1-based positions in these lists.
class SeedCatalog {
public:
    static const std::vector<SeedAlbum>& albums();
    static const std::vector<SeedClip>& clips();
    static const std::vector<std::string>& natures();
    static const std::vector<std::string>& categories();
    static const std::vector<std::string>& hotSearches();
    static const std::vector<SeedUser>& users();
    // Media file stem of clip `id` ("clip7").
    static std::string clipStem(int id);
    // pronunciation filter value of a voice: 1 British, 2 American.
    static int pronunciationOf(const SeedClip& clip);
    // speed filter value 1 (slow) to 5 (fast).
    static int speedOf(const SeedClip& clip);
};

} // namespace lintavo
