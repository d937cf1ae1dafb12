// Labelled recordings checked by ordering, not by exact numbers: a correct
// reading beats a wrong one, silence scores 0, a half reading loses
// integrity, awkward sentences keep every word in order, a word's sounds are
// its dictionary pronunciation, a real microphone's faults change nothing
// that matters, and speech that was not asked for costs.
#include "EngineTestSupport.h"
#include "SpeechModel.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

const char* const kSentence = "She sells fresh bread at the market every morning.";

std::vector<std::string> chars(const JsonValue& doc) {
    std::vector<std::string> out;
    for (auto& d : doc["result"]["details"].items())
        out.push_back(d["char"].toString());
    return out;
}

double overall(const JsonValue& doc) {
    return doc["result"]["overall"].toNumber(-1);
}

void orderings(EngineTestSupport& t, ssound* engine) {
    auto good = t.score(engine, kSentence, EngineTestSupport::readFile(t.speak("good", kSentence)));
    auto other = t.score(
        engine, kSentence,
        EngineTestSupport::readFile(t.speak("other", "Could you tell me where the bank is?")));
    auto half = t.score(engine, kSentence,
                        EngineTestSupport::readFile(t.speak("half", "She sells fresh bread")));
    auto silent = t.score(
        engine, kSentence,
        EngineTestSupport::readFile(t.sox("silence", "-n -r 16000 -c 1 -b 16", "trim 0 3")));
    CHECK(overall(good) >= 60);
    CHECK(overall(good) > overall(other) + 20);
    CHECK(overall(good) > overall(half));
    CHECK(half["result"]["integrity"].toNumber() <= 60);
    CHECK(good["result"]["integrity"].toNumber() >= 80);
    CHECK(overall(silent) == 0);
    CHECK(!silent["error"].isString()); // silence is a valid, empty reading

    // The omitted second half is marked as such, in order, with no timing.
    const auto& details = half["result"]["details"].items();
    CHECK(details.size() == 9);
    if (details.size() == 9) {
        CHECK(details[0]["error"].toString() == "none");
        CHECK(details[8]["error"].toString() == "omission");
        CHECK(details[8]["score"].toNumber() < 60);
        CHECK(details[0]["end"].toNumber() > details[0]["start"].toNumber());
        CHECK(details[1]["start"].toNumber() >= details[0]["end"].toNumber());
    }
    // A reading cut off mid-word by the end of the recording keeps the words
    // that were said.
    auto cut = t.score(engine, kSentence,
                       EngineTestSupport::readFile(
                           t.sox("cut", "'" + t.speak("good", kSentence) + "'",
                                 "reverse silence 1 0.02 1% reverse reverse trim 0.25 reverse")));
    CHECK(overall(cut) >= 40);
    CHECK(cut["result"]["details"].items().size() == 9 &&
          cut["result"]["details"].items()[0]["error"].toString() == "none");
    // A take with no silence of its own: the learner spoke from its first
    // sample (captured through the test microphone). Every word used to come
    // out omitted.
    auto whole = t.score(engine, "Breakfast is served from seven.",
                         EngineTestSupport::readFile(ENGINE_TEST_DATA "/whole-take.wav"));
    CHECK(overall(whole) >= 40);
    CHECK(whole["result"]["details"].items().size() == 5 &&
          whole["result"]["details"].items()[0]["error"].toString() == "none");
    // Identical input, identical result.
    auto again =
        t.score(engine, kSentence, EngineTestSupport::readFile(t.speak("good", kSentence)));
    CHECK(again["result"].serialize() == good["result"].serialize());
}

void awkwardText(EngineTestSupport& t, ssound* engine) {
    // Punctuation, digits, contractions, hyphens, capitals, non-ASCII letters
    // and an invented word: every word is kept, as written.
    const std::string text =
        "\xe2\x80\x9c"
        "Don't\xe2\x80\x9d \xe2\x80\x94 it's 42 WELL-KNOWN caf\xc3\xa9s, Zorblax!";
    auto doc = t.score(engine, text,
                       EngineTestSupport::readFile(
                           t.speak("awkward", "Don't, it's forty two well known cafes, zorblax!")));
    std::vector<std::string> expected = {"Don't",      "it's",         "42",
                                         "WELL-KNOWN", "caf\xc3\xa9s", "Zorblax"};
    CHECK(chars(doc) == expected);
    CHECK(overall(doc) >= 50);
    for (auto& d : doc["result"]["details"].items())
        CHECK(d["error"].toString() == "none" || d["score"].toNumber() < 60);
    // Audio far longer than the sentence: the sentence is found in it.
    auto longDoc = t.score(
        engine, "Good morning.",
        EngineTestSupport::readFile(t.speak(
            "long", "Good morning. The weather was cold and grey and the streets were empty while "
                    "we waited for the bus to arrive at the station near the old bridge.")));
    CHECK(longDoc["result"]["integrity"].toNumber() == 100);
    CHECK(!longDoc["error"].isString());
    // Audio far too short to hold the sentence: what was said is found, the
    // rest is omitted, in order.
    auto shortDoc = t.score(
        engine,
        "Good morning, the weather was cold and grey and the streets were empty all day long.",
        EngineTestSupport::readFile(t.speak("short", "Good morning.")));
    const auto& words = shortDoc["result"]["details"].items();
    CHECK(!shortDoc["error"].isString() && words.size() == 16);
    if (words.size() == 16) {
        CHECK(words[0]["error"].toString() != "omission");
        CHECK(words[15]["error"].toString() == "omission");
    }
    CHECK(shortDoc["result"]["integrity"].toNumber() <= 40);
}

void phonesOfKnownWords(EngineTestSupport& t, ssound* engine) {
    auto doc = t.score(engine, "Please close the window.",
                       EngineTestSupport::readFile(t.speak("window", "Please close the window.")));
    auto model = SpeechModel::shared();
    for (auto& d : doc["result"]["details"].items()) {
        std::string phones;
        int last = d["start"].toNumber(-1);
        for (auto& p : d["phones"].items()) {
            phones += (phones.empty() ? "" : " ") + p["phone"].toString();
            CHECK(p["start"].toNumber() >= last && p["end"].toNumber() >= p["start"].toNumber());
            CHECK(p["end"].toNumber() <= d["end"].toNumber());
            CHECK(p["score"].toNumber(-1) >= 0 && p["score"].toNumber(-1) <= 100);
            last = p["end"].toNumber();
        }
        std::string word = d["char"].toString();
        for (auto& c : word)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        auto known = model->pronunciations(word);
        CHECK(std::find(known.begin(), known.end(), phones) != known.end());
    }
}

void microphoneConditions(EngineTestSupport& t, ssound* engine) {
    // The same reading mixed with noise 20 dB below it, played at -30 dBFS,
    // with a DC offset, and clipped at -1 dBFS: still a good reading, still
    // beating a wrong one; silence and noise alone stay near 0.
    std::string good = t.speak("mic", kSentence);
    std::string other = t.speak("mic-other", "Could you tell me where the bank is?");
    std::string noise = t.sox("mic-noise", "-n -r 16000 -c 1 -b 16", "synth 4 pinknoise vol 0.03");
    const std::pair<std::string, std::string> conditions[] = {
        {"-m '" + good + "' '" + noise + "'", ""},
        {"'" + good + "'", "gain -n -30"},
        {"'" + good + "'", "dcshift 0.1"},
        {"'" + good + "'", "gain -n 0 gain 10 gain -1"},
    };
    int n = 0;
    for (auto& [input, effects] : conditions) {
        std::string name = "mic" + std::to_string(n++);
        auto read =
            t.score(engine, kSentence, EngineTestSupport::readFile(t.sox(name, input, effects)));
        std::string otherInput = input;
        otherInput.replace(otherInput.find(good), good.size(), other);
        auto wrong = t.score(engine, kSentence,
                             EngineTestSupport::readFile(t.sox(name + "w", otherInput, effects)));
        CHECK(overall(read) >= 60);
        CHECK(overall(read) > overall(wrong) + 20);
        CHECK(read["result"]["integrity"].toNumber() == 100); // no word said taken as left out
        if (n == 1) { // noise and all, identical input gives an identical result
            auto again = t.score(engine, kSentence,
                                 EngineTestSupport::readFile(t.sox(name, input, effects)));
            CHECK(again["result"].serialize() == read["result"].serialize());
        }
    }
    auto dcSilence = t.sox("dc-silence", "-n -r 16000 -c 1 -b 16", "trim 0 3 dcshift 0.1");
    auto quietNoise = t.sox("quiet-noise", "-n -r 16000 -c 1 -b 16", "synth 3 pinknoise vol 0.02");
    CHECK(overall(t.score(engine, kSentence, EngineTestSupport::readFile(dcSilence))) <= 10);
    CHECK(overall(t.score(engine, kSentence, EngineTestSupport::readFile(quietNoise))) <= 10);
    // A loud rumble clipped by the microphone is as loud and as uneven as
    // speech, and the sentence's sounds fit it about as well as anything, but
    // no voice is in it.
    auto rumble = t.sox("clipped-rumble", "-n -r 16000 -c 1 -b 16",
                        "synth 3 brownnoise vol 0.8 gain -n 0 gain 10 gain -1");
    CHECK(overall(t.score(engine, "My brother plays the guitar in a small band.",
                          EngineTestSupport::readFile(rumble))) <= 10);
}

void extraSpeech(EngineTestSupport& t, ssound* engine) {
    // One word asked for, a whole sentence said: not a good reading of "I".
    auto whole = EngineTestSupport::readFile(
        t.speak("whole", "I have never seen anything like this before."));
    auto single = t.score(engine, "I", whole);
    CHECK(overall(single) <= 30);
    CHECK(!single["result"]["extra"].items().empty());
    // Words added inside the sentence lower it and are found where they were.
    auto plain =
        t.score(engine, kSentence, EngineTestSupport::readFile(t.speak("plain", kSentence)));
    auto added = t.score(
        engine, kSentence,
        EngineTestSupport::readFile(t.speak(
            "added", "She sells fresh bread and then some more at the market every morning.")));
    CHECK(overall(added) < overall(plain) - 5);
    bool located = false;
    for (auto& e : added["result"]["extra"].items())
        located =
            located || (e["before"].toNumber() == 4 && e["end"].toNumber() > e["start"].toNumber());
    CHECK(located);
    CHECK(plain["result"]["extra"].items().empty());
}

} // namespace

int main() {
    EngineTestSupport t;
    ssound* engine = ssound_new("{}");
    CHECK(engine != nullptr);
    if (!engine)
        return 1;
    orderings(t, engine);
    awkwardText(t, engine);
    phonesOfKnownWords(t, engine);
    microphoneConditions(t, engine);
    extraSpeech(t, engine);
    ssound_delete(engine);
    if (EngineTestSupport::failures)
        std::fprintf(stderr, "%d check(s) failed\n", EngineTestSupport::failures);
    return EngineTestSupport::failures ? 1 : 0;
}
