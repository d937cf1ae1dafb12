// The pieces that need no audio: reference text splitting, number readings,
// letter-to-sound fallback, JSON and WAV decoding.
#include "EngineTestSupport.h"
#include "JsonValue.h"
#include "LetterToSound.h"
#include "NumberSpeller.h"
#include "ReferenceText.h"
#include "SpeechActivity.h"
#include "WavDecoder.h"
#include "WordModel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

using Words = std::vector<std::string>;

std::vector<std::string> written(const std::string& text) {
    std::vector<std::string> out;
    ReferenceText ref(text);
    for (auto& w : ref.words())
        out.push_back(w.written);
    return out;
}

void referenceText() {
    CHECK(written("Hello, world! \"Yes\" -- no...") == Words({"Hello", "world", "Yes", "no"}));
    CHECK(written("rock\xe2\x80\x94paper\xe2\x80\xa6scissors") ==
          Words({"rock", "paper", "scissors"}));
    CHECK(written("  ,;  ").empty());
    ReferenceText ref("I'm well-known in the U.S. at 9:30, na\xc3\xafve \xe4\xbd\xa0\xe5\xa5\xbd");
    const auto& w = ref.words();
    CHECK(w.size() == 9);
    if (w.size() != 9)
        return;
    CHECK(w[0].readings == std::vector<Words>({{"i'm"}}));
    CHECK(w[1].written == "well-known" && w[1].readings[0] == Words({"well", "known"}));
    CHECK(w[4].written == "U.S" && w[4].readings[0] == Words({"u", "s"}));
    CHECK(w[6].written == "9:30" && w[6].readings[0] == Words({"nine", "thirty"}));
    CHECK(w[7].written == "na\xc3\xafve" && w[7].readings[0] == Words({"naive"}));
    CHECK(w[8].readings.empty()); // nothing an English reader can spell out
}

void numbers() {
    CHECK(NumberSpeller::cardinal(0) == Words({"zero"}));
    CHECK(NumberSpeller::cardinal(1205) == Words({"one", "thousand", "two", "hundred", "five"}));
    CHECK(NumberSpeller::cardinal(3000017) == Words({"three", "million", "seventeen"}));
    auto year = NumberSpeller::readings("1984");
    CHECK(year.size() == 2 && year[0] == Words({"nineteen", "eighty", "four"}));
    CHECK(NumberSpeller::readings("2005").size() == 1);
    CHECK(NumberSpeller::readings("3rd") == std::vector<Words>({{"third"}}));
    CHECK(NumberSpeller::readings("21st") == std::vector<Words>({{"twenty", "first"}}));
    CHECK(NumberSpeller::readings("3.14")[0] == Words({"three", "point", "one", "four"}));
    CHECK(NumberSpeller::readings("1,000")[0] == Words({"one", "thousand"}));
    CHECK(NumberSpeller::readings("abc").empty());
    CHECK(!NumberSpeller::readings(std::string(40, '9')).empty()); // no overflow
}

void letterToSound() {
    CHECK(LetterToSound::phones("zorblax") == "Z AO R B L AE K S");
    CHECK(LetterToSound::phones("chip") == "CH IH P");
    CHECK(LetterToSound::phones("x'y") == "K S IY");
    CHECK(LetterToSound::phones("q").size() > 0);
}

void json() {
    JsonValue doc;
    CHECK(JsonValue::parse("{\"a\":[1,2.5,\"x\\u00e9\\n\"],\"b\":{\"c\":true},\"d\":null}", doc));
    CHECK(doc["a"].items().size() == 3 && doc["a"].items()[1].toNumber() == 2.5);
    CHECK(doc["a"].items()[2].toString() == "x\xc3\xa9\n");
    CHECK(doc["b"]["c"].type() == JsonValue::Type::Bool);
    CHECK(doc["missing"]["deeper"].toNumber(7) == 7);
    for (const char* bad : {"", "{", "[1,]", "{\"a\" 1}", "nul", "\"open", "{} x"})
        CHECK(!JsonValue::parse(bad, doc));
    CHECK(!JsonValue::parse(std::string(100, '['), doc)); // depth limit, no stack overflow
    JsonValue out = JsonValue::object();
    out.set("z", "caf\xc3\xa9 \"q\"").set("a", 3).set("f", 0.5);
    CHECK(out.serialize() == "{\"z\":\"caf\\u00e9 \\\"q\\\"\",\"a\":3,\"f\":0.5}");
}

std::vector<uint8_t> wavHeader(int tag, int channels, int rate, int bits, uint32_t dataSize) {
    std::vector<uint8_t> h(44);
    auto put32 = [&h](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            h[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    auto put16 = [&h](size_t at, uint16_t v) {
        h[at] = static_cast<uint8_t>(v);
        h[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    std::memcpy(h.data(), "RIFF", 4);
    put32(4, 36 + dataSize);
    std::memcpy(h.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, static_cast<uint16_t>(tag));
    put16(22, static_cast<uint16_t>(channels));
    put32(24, static_cast<uint32_t>(rate));
    put32(28, static_cast<uint32_t>(rate * channels * bits / 8));
    put16(32, static_cast<uint16_t>(channels * bits / 8));
    put16(34, static_cast<uint16_t>(bits));
    std::memcpy(h.data() + 36, "data", 4);
    put32(40, dataSize);
    return h;
}

void wav() {
    WavDecoder d;
    auto mono = wavHeader(1, 1, 16000, 16, 8);
    for (int16_t v : {100, -200, 300, 32767})
        mono.insert(mono.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    CHECK(d.decodeWav(mono) && d.samples() == std::vector<int16_t>({100, -200, 300, 32767}));
    // Stereo is averaged; a streaming header (size 0xFFFFFFFF) takes what is there.
    auto stereo = wavHeader(1, 2, 16000, 16, 0xFFFFFFFF);
    for (int16_t v : {1000, 3000, -500, -1500})
        stereo.insert(stereo.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    CHECK(d.decodeWav(stereo) && d.samples() == std::vector<int16_t>({2000, -1000}));
    // 48 kHz becomes a third as many samples.
    auto fast = wavHeader(1, 1, 48000, 16, 4800 * 2);
    fast.resize(fast.size() + 4800 * 2);
    CHECK(d.decodeWav(fast) && d.samples().size() == 1600);
    CHECK(!d.decodeWav(wavHeader(6, 1, 16000, 8, 0)) && !d.error().empty()); // A-law
    CHECK(!d.decodeWav(wavHeader(1, 1, 4000, 16, 0)));
    CHECK(!d.decodeWav(wavHeader(1, 0, 16000, 16, 0)));
    CHECK(!d.decodeWav({'R', 'I', 'F', 'F'}));
    std::vector<uint8_t> noData(mono.begin(), mono.begin() + 36);
    CHECK(!d.decodeWav(noData));
    std::vector<uint8_t> raw = {0x10, 0x00, 0xF0, 0xFF};
    CHECK(d.decodeRaw(raw, {}) && d.samples() == std::vector<int16_t>({16, -16}));
}

// A word whose sounds the alignment put apart, with something else between
// them, was not said as written, however well each sound fits.
void splitWord(const WordModel& model) {
    // "have" read at each sound's usual goodness and length, with `gapMs`
    // of something else after its first sound.
    auto have = [&](int gapMs) {
        ScoreReport::WordScore w;
        w.error = "none";
        w.speech = 1;
        int at = 0;
        for (const char* name : {"HH", "AE", "V"}) {
            const auto& st = model.phone(name);
            ScoreReport::PhoneScore p;
            p.phone = name;
            p.goodness = w.goodness = st.goodnessMean;
            p.startMs = at;
            p.endMs = at + static_cast<int>(std::exp(st.logMsMean));
            at = p.endMs + (w.phones.empty() ? gapMs : 0);
            w.phones.push_back(p);
        }
        return w;
    };
    ScoreReport report;
    report.words = {have(0), have(400)};
    model.scoreWords(report);
    CHECK(report.words[0].score >= 60 && report.words[0].error == "none");
    CHECK(report.words[1].score < 60 && report.words[1].error == "mispronunciation");
    CHECK(report.words[0].phones[1].score == report.words[1].phones[1].score);
}

// A sine at `db` dB above a steady noise floor, frames [from, to).
void addTone(std::vector<int16_t>& samples, int from, int to, double db) {
    const double amplitude = 300 * std::pow(10.0, db / 20);
    for (int i = from * 160; i < to * 160; ++i)
        samples[i] = static_cast<int16_t>(std::clamp(
            samples[i] + amplitude * std::sin(i * 2 * M_PI * 150 / 16000), -32768.0, 32767.0));
}

// In a noisy room the weak start of a word is speech with the word; a swell
// of the same level on its own is not.
void speechActivity() {
    std::vector<int16_t> samples(16000 * 2);
    unsigned seed = 1;
    for (auto& v : samples) {
        seed = seed * 1103515245 + 12345;
        v = static_cast<int16_t>(static_cast<int>((seed >> 16) % 601) - 300);
    }
    addTone(samples, 40, 50, 9);   // a weak start ...
    addTone(samples, 50, 80, 25);  // ... of a loud word
    addTone(samples, 140, 150, 9); // a swell on its own
    SpeechActivity activity(samples);
    CHECK(!activity.silent());
    CHECK(activity.isSpeech(60) && activity.isSpeech(45) && activity.isSpeech(42));
    CHECK(!activity.isSpeech(145) && !activity.isSpeech(100) && !activity.isSpeech(20));
}

} // namespace

void wordModel() {
    // The fitted model compiled into the library is read whole: a line it
    // misread would silently score every word by a default.
    extern const char* const kWordModelText;
    WordModel model;
    CHECK(model.parse(kWordModelText));
    CHECK(!WordModel().parse("weight goodness"));
    const auto& ah = model.phone("AH");
    const auto& pooled = model.phone("");
    CHECK(ah.goodnessMean != pooled.goodnessMean && ah.goodnessSpread > 0);
    // A word like the correct readings it was fitted on passes; one far below
    // them, or much worse than the rest of its sentence, does not.
    // Goodness is in the decoder's units, so it is taken from the model.
    WordModel::Features usual;
    usual.goodness = pooled.goodnessMean;
    usual.phoneMin = -1;
    usual.duration = 0.8;
    usual.relative = -0.5;
    usual.speech = 1;
    CHECK(model.score(usual) >= 60);
    WordModel::Features wrong = usual;
    wrong.goodness = pooled.goodnessMean - 3 * pooled.goodnessSpread;
    wrong.phoneMean = wrong.relative = -3;
    wrong.phoneMin = -4;
    CHECK(model.score(wrong) < 60);
    CHECK(WordModel::phoneScore(0) > 80 && WordModel::phoneScore(-4) < 20);
    splitWord(model);
}

int main() {
    referenceText();
    wordModel();
    speechActivity();
    numbers();
    letterToSound();
    json();
    wav();
    if (EngineTestSupport::failures)
        std::fprintf(stderr, "%d check(s) failed\n", EngineTestSupport::failures);
    return EngineTestSupport::failures ? 1 : 0;
}
