// Labelled recordings checked by ordering, not by exact numbers: a correct
// reading beats a wrong one, silence scores 0, a half reading loses
// integrity, and awkward sentences keep every word in order.
#include "EngineTestSupport.h"

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
    ssound_delete(engine);
    if (EngineTestSupport::failures)
        std::fprintf(stderr, "%d check(s) failed\n", EngineTestSupport::failures);
    return EngineTestSupport::failures ? 1 : 0;
}
