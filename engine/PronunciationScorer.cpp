#include "PronunciationScorer.h"

#include "LetterToSound.h"
#include "ReferenceText.h"
#include "SpeechModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMsPerFrame = 1000 / SpeechModel::kFramesPerSecond;
constexpr size_t kMaxVariants = 3;       // dictionary variants of one word
constexpr size_t kMaxPronunciations = 5; // per reference word, all readings together

// Calibration of the word score: goodness (mean per-frame log-likelihood ratio
// of the aligned word against the free phone loop) at which a word scores 50,
// and the spread of the logistic around it.
constexpr double kGoodnessMidpoint = -24.0;
constexpr double kGoodnessSpread = 7.0;

// Sentence weights: most of the overall score is what was said and how well,
// the rest is how it flowed.
constexpr double kWordsWeight = 0.85;

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

int PronunciationScorer::wordScore(double goodness) {
    return clampScore(100.0 / (1.0 + std::exp(-(goodness - kGoodnessMidpoint) / kGoodnessSpread)));
}

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

bool PronunciationScorer::hasSpeech(const std::vector<int16_t>& samples) {
    // Any 25 ms window louder than about -45 dBFS counts as possible speech;
    // below that the recording is silence and needs no decoding.
    const size_t window = 400;
    const double threshold = 32768.0 * std::pow(10.0, -45.0 / 20.0);
    for (size_t start = 0; start + window <= samples.size(); start += window / 2) {
        double mean = 0;
        for (size_t i = start; i < start + window; ++i)
            mean += samples[i];
        mean /= window;
        double energy = 0;
        for (size_t i = start; i < start + window; ++i)
            energy += (samples[i] - mean) * (samples[i] - mean);
        if (std::sqrt(energy / window) > threshold)
            return true;
    }
    return false;
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
    ScoreReport report = ScoreReport::failure(0, std::string(), written);
    report.audioMs = static_cast<int>(samples.size() / 16);
    for (size_t i = 0; i < slots.size(); ++i)
        report.words[i].inDictionary = slots[i].inDictionary;
    if (hasSpeech(samples))
        scoreWords(samples, slots, report);
    summarise(report, slots);
    return report;
}

void PronunciationScorer::scoreWords(const std::vector<int16_t>& samples,
                                     const std::vector<Slot>& slots, ScoreReport& report) {
    std::vector<std::vector<std::string>> grammar;
    for (auto& s : slots)
        grammar.push_back(s.pronunciations);
    auto aligned = model_->align(samples, grammar);
    if (aligned.empty())
        return;
    auto loop = model_->phoneLoop(samples);
    // Spread each phone's score evenly over its frames, so any word span can
    // be compared with the phone loop over exactly the same frames.
    int frames = 0;
    for (auto& s : aligned)
        frames = std::max(frames, s.endFrame + 1);
    for (auto& s : loop)
        frames = std::max(frames, s.endFrame + 1);
    std::vector<double> loopPerFrame(frames, 0.0);
    for (auto& s : loop) {
        if (s.startFrame < 0 || s.endFrame < s.startFrame)
            continue; // null transitions carry no frames
        int n = s.endFrame - s.startFrame + 1;
        for (int f = s.startFrame; f <= s.endFrame; ++f)
            loopPerFrame[f] = static_cast<double>(s.acoustic) / n;
    }
    for (auto& s : aligned) {
        if (s.slot < 0 || s.startFrame < 0 || s.endFrame < s.startFrame)
            continue;
        double loopScore = 0;
        for (int f = s.startFrame; f <= s.endFrame; ++f)
            loopScore += loopPerFrame[f];
        int n = s.endFrame - s.startFrame + 1;
        auto& word = report.words[s.slot];
        word.goodness = (s.acoustic - loopScore) / n;
        word.score = wordScore(word.goodness);
        word.error = word.score >= 60 ? "none" : "mispronunciation";
        word.startMs = s.startFrame * kMsPerFrame;
        word.endMs = (s.endFrame + 1) * kMsPerFrame;
    }
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
    report.overall = clampScore(kWordsWeight * sum / total + (1.0 - kWordsWeight) * report.fluency);
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
