#pragma once

#include <string>

namespace httplib {
class Server;
}

namespace lintavo {

class ApiRouter;
class WordDictionary;

// The dictionary origin: word records (espeak-ng IPA for en-gb and en-us, WordNet meanings)
// and spoken words in a British or American voice.
class DictionaryEndpoints {
public:
    static void install(ApiRouter& router, httplib::Server& server, WordDictionary& dictionary,
                        const std::string& dataDir);
    static bool validWord(const std::string& word);
    // IPA of `word` for an espeak-ng voice ("en-gb", "en-us"); "" on failure.
    static std::string phonetic(const std::string& word, const std::string& voice);
};

} // namespace lintavo
