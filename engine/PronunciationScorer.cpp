#include "PronunciationScorer.h"

#include "LetterToSound.h"
#include "ReferenceText.h"
#include "SpeechModel.h"

#include "SpeechActivity.h"
#include "WordModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMsPerFrame = 1000 / SpeechModel::kFramesPerSecond;
constexpr size_t kMaxVariants = 3;       // dictionary variants of one word
constexpr size_t kMaxPronunciations = 5; // per reference word, all readings together

// Sentence weights: most of the overall score is what was said and how well,
// the rest is how it flowed.
constexpr double kWordsWeight = 0.85;

// Speech outside the words of the sentence counts once it lasts this long
// (shorter bits are breaths, clicks and the tails of words).
constexpr int kMinExtraFrames = 20;

int clampScore(double v) {
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 100.0)));
}

std::string join(const std::vector<std::string>& parts) {
    std::string out;
    for (auto& p : parts)
        out += (out.empty() ? "" : " ") + p;
    return out;
}

} // namespace

PronunciationScorer::PronunciationScorer(std::shared_ptr<SpeechModel> model)
    : model_(std::move(model)) {}

std::vector<PronunciationScorer::Slot> PronunciationScorer::slotsFor(const ReferenceText& text) {
    std::vector<Slot> slots;
    for (auto& word : text.words()) {
        Slot slot;
        for (auto& reading : word.readings) {
            // A single dictionary word brings its variants; a spoken sequence
            // ("forty two") uses the main pronunciation of each of its words.
            std::vector<std::string> pieces;
            std::vector<std::string> variants;
            for (auto& key : reading) {
                auto prons = model_->pronunciations(key);
                if (prons.empty()) {
                    slot.inDictionary = false;
                    prons.push_back(LetterToSound::phones(key));
                }
                if (reading.size() == 1)
                    variants.assign(prons.begin(),
                                    prons.begin() + std::min(prons.size(), kMaxVariants));
                pieces.push_back(prons.front());
            }
            if (reading.size() != 1)
                variants = {join(pieces)};
            for (auto& v : variants)
                if (!v.empty() && slot.pronunciations.size() < kMaxPronunciations &&
                    std::find(slot.pronunciations.begin(), slot.pronunciations.end(), v) ==
                        slot.pronunciations.end())
                    slot.pronunciations.push_back(v);
        }
        slots.push_back(std::move(slot));
    }
    return slots;
}

ScoreReport PronunciationScorer::score(const std::vector<int16_t>& samples,
                                       const std::string& refText) {
    ReferenceText text(refText);
    std::vector<std::string> written;
    for (auto& w : text.words())
        written.push_back(w.written);
    if (written.empty())
        return ScoreReport::failure(40002, "refText contains no words", written);
    if (written.size() > kMaxWords)
        return ScoreReport::failure(40005, "refText has more than 100 words", written);
    if (samples.empty())
        return ScoreReport::failure(40010, "no audio was fed", written);
    if (samples.size() > static_cast<size_t>(kMaxAudioSeconds) * 16000)
        return ScoreReport::failure(40011, "audio is longer than 120 s", written);

    std::vector<Slot> slots = slotsFor(text);
    auto blank = [&] {
        ScoreReport report = ScoreReport::failure(0, std::string(), written);
        report.audioMs = static_cast<int>(samples.size() / 16);
        for (size_t i = 0; i < slots.size(); ++i)
            report.words[i].inDictionary = slots[i].inDictionary;
        return report;
    };
    ScoreReport report = blank();
    auto centred = withoutOffset(samples);
    SpeechActivity activity(centred);
    if (!activity.silent()) {
        if (activity.voiced())
            scoreWords(centred, activity, slots, report);
        if (nothingRead(report)) {
            // A recording without silence of its own (speech from the first
            // sample to the last, as when the learner speaks through the
            // whole take, or is cut off by its end) gives the speech
            // detector no floor to measure from and can leave the decoder's
            // alignment unfinished: every word comes out omitted. A moment of
            // silence after it gives both what they need.
            centred.resize(centred.size() + kClosingSilenceSamples, 0);
            SpeechActivity closed(centred);
            report = blank();
            if (closed.voiced())
                scoreWords(centred, closed, slots, report);
        }
    }
    summarise(report, slots);
    return report;
}

bool PronunciationScorer::nothingRead(const ScoreReport& report) {
    return std::all_of(report.words.begin(), report.words.end(),
                       [](const auto& w) { return w.error == "omission"; });
}

std::vector<int16_t> PronunciationScorer::withoutOffset(const std::vector<int16_t>& samples) {
    // A microphone's DC offset is no part of the speech.
    long long sum = 0;
    for (int16_t v : samples)
        sum += v;
    int offset = static_cast<int>(sum / static_cast<long long>(samples.size()));
    std::vector<int16_t> out(samples.size());
    std::transform(samples.begin(), samples.end(), out.begin(), [offset](int16_t v) {
        return static_cast<int16_t>(std::clamp(v - offset, -32768, 32767));
    });
    return out;
}

void PronunciationScorer::scoreWords(const std::vector<int16_t>& samples,
                                     const SpeechActivity& activity, const std::vector<Slot>& slots,
                                     ScoreReport& report) {
    std::vector<std::vector<std::string>> grammar;
    for (auto& s : slots)
        grammar.push_back(s.pronunciations);
    // Every word placed somewhere: one that was said lands on speech, one
    // that was not is squeezed onto silence (or, with no silence left, into
    // the speech of its neighbours, where it fits badly). Letting the decoder
    // skip words instead makes it drop words it fits badly even when they
    // were said. Audio too short to hold every word is read as far as it goes.
    auto aligned = model_->align(samples, grammar, false);
    if (aligned.empty())
        aligned = model_->align(samples, grammar, true);
    std::vector<std::vector<const SpeechModel::Segment*>> phonesOf(slots.size());
    for (auto& s : aligned)
        if (s.slot >= 0 && s.slot < static_cast<int>(slots.size()) && s.startFrame >= 0 &&
            s.endFrame >= s.startFrame)
            phonesOf[s.slot].push_back(&s);
    std::vector<std::pair<int, int>> spans; // frames of the words read
    for (size_t i = 0; i < slots.size(); ++i) {
        if (phonesOf[i].empty())
            continue;
        auto& word = report.words[i];
        int first = phonesOf[i].front()->startFrame, last = phonesOf[i].back()->endFrame;
        word.speech = speechShare(first, last, activity);
        if (word.speech < 0.3)
            continue; // placed on silence: not said, an omission
        long long acoustic = 0;
        int frames = 0;
        for (auto* p : phonesOf[i]) {
            ScoreReport::PhoneScore phone;
            phone.phone = p->label;
            phone.goodness = goodness(*p);
            phone.startMs = p->startFrame * kMsPerFrame;
            phone.endMs = (p->endFrame + 1) * kMsPerFrame;
            word.phones.push_back(phone);
            acoustic += p->acoustic;
            frames += p->endFrame - p->startFrame + 1;
        }
        word.goodness = static_cast<double>(acoustic) / frames;
        word.startMs = first * kMsPerFrame;
        word.endMs = (last + 1) * kMsPerFrame;
        word.error = "none";
        spans.push_back({first, last});
    }
    WordModel::fitted().scoreWords(report);
    findExtraSpeech(spans, activity, report);
}

double PronunciationScorer::speechShare(int first, int last, const SpeechActivity& activity) {
    int speech = 0;
    for (int f = first; f <= last; ++f)
        speech += activity.isSpeech(f);
    return static_cast<double>(speech) / (last - first + 1);
}

double PronunciationScorer::goodness(const SpeechModel::Segment& s) {
    // Scores are against each frame's best senone: 0 is a perfect fit.
    return static_cast<double>(s.acoustic) / (s.endFrame - s.startFrame + 1);
}

void PronunciationScorer::findExtraSpeech(const std::vector<std::pair<int, int>>& spans,
                                          const SpeechActivity& activity, ScoreReport& report) {
    // Frames the words of the sentence were aligned to; speech anywhere else
    // was not asked for.
    std::vector<bool> inWord(activity.frames(), false);
    for (auto& [first, last] : spans)
        for (int f = std::max(0, first); f <= last && f < activity.frames(); ++f)
            inWord[f] = true;
    // Runs between words, from their first speech frame to their last.
    int first = -1, last = -1, speech = 0;
    auto close = [&] {
        if (speech >= kMinExtraFrames) {
            report.extra.push_back({first * kMsPerFrame, (last + 1) * kMsPerFrame,
                                    nextWordAfter(report, first * kMsPerFrame)});
            report.extraMs += speech * kMsPerFrame;
        }
        first = last = -1;
        speech = 0;
    };
    for (int f = 0; f < activity.frames(); ++f) {
        if (inWord[f]) {
            close();
        } else if (activity.isSpeech(f)) {
            first = first < 0 ? f : first;
            last = f;
            ++speech;
        }
    }
    close();
}

int PronunciationScorer::nextWordAfter(const ScoreReport& report, int ms) {
    for (size_t i = 0; i < report.words.size(); ++i)
        if (report.words[i].error != "omission" && report.words[i].startMs >= ms)
            return static_cast<int>(i);
    return static_cast<int>(report.words.size());
}

void PronunciationScorer::summarise(ScoreReport& report, const std::vector<Slot>& slots) {
    // Words outside the dictionary were aligned with guessed phones, so their
    // own score says little: they take the mean of the known words read.
    double knownSum = 0;
    int knownCount = 0;
    for (size_t i = 0; i < slots.size(); ++i)
        if (report.words[i].error != "omission" && slots[i].inDictionary) {
            knownSum += report.words[i].score;
            ++knownCount;
        }
    int read = 0;
    double sum = 0;
    for (size_t i = 0; i < slots.size(); ++i) {
        auto& word = report.words[i];
        if (slots[i].pronunciations.empty() && knownCount > 0) {
            word.score = clampScore(knownSum / knownCount); // nothing to say: neutral
            word.error = "none";
        }
        if (word.error == "omission")
            continue;
        if (!slots[i].inDictionary && knownCount > 0) {
            word.score = clampScore(knownSum / knownCount);
            word.error = word.score >= 60 ? "none" : "mispronunciation";
        }
        ++read;
        sum += word.score;
    }
    size_t total = report.words.size();
    report.integrity = clampScore(100.0 * read / total);
    report.accuracy = read > 0 ? clampScore(sum / read) : 0;
    scoreFluency(report);
    double overall = kWordsWeight * sum / total + (1.0 - kWordsWeight) * report.fluency;
    // Speech that was not asked for takes its share of the reading away.
    int wordMs = 0;
    for (auto& w : report.words)
        wordMs += w.error == "omission" ? 0 : w.endMs - w.startMs;
    if (report.extraMs > 0)
        overall *= static_cast<double>(wordMs) / (wordMs + report.extraMs);
    report.overall = clampScore(overall);
}

void PronunciationScorer::scoreFluency(ScoreReport& report) {
    std::vector<const ScoreReport::WordScore*> read;
    for (auto& w : report.words)
        if (w.error != "omission" && w.endMs > w.startMs)
            read.push_back(&w);
    if (read.empty())
        return;
    // Pauses: silences longer than 400 ms between words cost 20 points each.
    int pauses = 0;
    for (size_t i = 1; i < read.size(); ++i)
        if (read[i]->startMs - read[i - 1]->endMs > 400)
            ++pauses;
    report.pauseScore = clampScore(100.0 - 20.0 * pauses);
    // Speed: 90 to 220 words a minute is natural; slower or faster loses
    // points in proportion.
    double minutes = (read.back()->endMs - read.front()->startMs) / 60000.0;
    double wpm = minutes > 0 ? read.size() / minutes : 0;
    double speed = wpm < 90 ? 100.0 * (wpm - 30) / 60 : wpm > 220 ? 100.0 - (wpm - 220) / 1.5 : 100;
    report.speedScore = clampScore(speed);
    report.fluency =
        clampScore((report.pauseScore + report.speedScore) / 2.0 * report.integrity / 100.0);
}
