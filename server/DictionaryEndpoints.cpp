#include "DictionaryEndpoints.h"

#include "ApiError.h"
#include "ApiRouter.h"
#include "FileLock.h"
#include "FileResponder.h"
#include "MediaGenerator.h"
#include "ProcessRunner.h"
#include "RandomToken.h"
#include "WordDictionary.h"

#include <algorithm>
#include <cstdio>
#include <httplib.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace lintavo {

namespace {

constexpr int kSpeechTimeoutMs = 20000;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    size_t end = text.find_last_not_of(" \t\r\n");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

Json lookUp(ApiCall& call, WordDictionary& dictionary) {
    std::string word = trim(call.text("word", 40));
    if (!DictionaryEndpoints::validWord(word))
        throw ApiError("单词格式不对 (a word is letters, apostrophes and hyphens)");
    std::string key = lower(word);
    Statement& cached = call.db().query("SELECT uk, us, meaning FROM words WHERE word = ?", key);
    if (cached.step()) {
        Json record = {{"word", word},
                       {"ukphonetic", cached.text(0)},
                       {"usphonetic", cached.text(1)},
                       {"meaning", cached.text(2)}};
        cached.reset();
        return record;
    }
    cached.reset();
    std::string meaning = dictionary.meaning(key);
    if (meaning.empty())
        throw ApiError("没有找到这个单词 (word not found)");
    std::string uk = DictionaryEndpoints::phonetic(key, "en-gb");
    std::string us = DictionaryEndpoints::phonetic(key, "en-us");
    call.db().run("INSERT OR REPLACE INTO words (word, uk, us, meaning) VALUES (?, ?, ?, ?)", key,
                  uk, us, meaning);
    return {{"word", word}, {"ukphonetic", uk}, {"usphonetic", us}, {"meaning", meaning}};
}

// One generation per word: parallel requests for a new word wait for the first, which writes
// under a name of its own and renames when complete.
bool generateSpeech(const std::string& voice, const std::string& word, const std::string& path) {
    FileLock lock(path + ".lock");
    if (MediaGenerator::exists(path))
        return true;
    std::string temporary = path + ".part-" + RandomToken::hex(8) + ".wav";
    auto result = ProcessRunner::run({"espeak-ng", "-v", voice, "-w", temporary, "--", word},
                                     kSpeechTimeoutMs);
    if (result.exitCode == 0 && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

void speak(const httplib::Request& req, httplib::Response& res, const std::string& dataDir) {
    std::string type = req.get_param_value("type");
    std::string word = lower(trim(req.get_param_value("audio")));
    if ((type != "0" && type != "1") || !DictionaryEndpoints::validWord(word)) {
        res.status = 400;
        return res.set_content("expected type=1 (British) or 0 (American) and audio=WORD\n",
                               "text/plain; charset=utf-8");
    }
    std::string voice = type == "1" ? "en-gb" : "en-us";
    std::string folder = dataDir + "/voice";
    ::mkdir(folder.c_str(), 0755);
    std::string name = voice + "-" + word;
    std::replace(name.begin(), name.end(), '\'', '_');
    std::string path = folder + "/" + name + ".wav";
    if (!MediaGenerator::exists(path) && !generateSpeech(voice, word, path)) {
        res.status = 500;
        return res.set_content("speech failed\n", "text/plain; charset=utf-8");
    }
    FileResponder::send(req, res, path);
}

} // namespace

bool DictionaryEndpoints::validWord(const std::string& word) {
    static const std::regex pattern("^[A-Za-z][A-Za-z'-]{0,39}$");
    return std::regex_match(word, pattern);
}

std::string DictionaryEndpoints::phonetic(const std::string& word, const std::string& voice) {
    auto result =
        ProcessRunner::run({"espeak-ng", "-q", "--ipa", "-v", voice, "--", word}, kSpeechTimeoutMs);
    return result.exitCode == 0 ? trim(result.output) : std::string();
}

void DictionaryEndpoints::install(ApiRouter& router, httplib::Server& server,
                                  WordDictionary& dictionary, const std::string& dataDir) {
    router.get("/words/api", ApiRouter::Signing::None,
               [&dictionary](ApiCall& call) { return lookUp(call, dictionary); });
    server.Get("/dictvoice", [dataDir](const httplib::Request& req, httplib::Response& res) {
        speak(req, res, dataDir);
    });
}

} // namespace lintavo
