#include "SpeechActivity.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t kFrame = 160;  // 10 ms at 16 kHz
constexpr size_t kWindow = 400; // 25 ms around each frame
const double kSilenceDb = -45.0;
// A frame is speech when it is this much above the floor and within this
// much of the loudest frames, or, next to such frames, half as far above the
// floor: the weak start and end of a word, and a short unstressed word
// between two others, stay speech in a noisy room, while the noise's own
// swells, which rise that far only now and then, do not join up with a word.
const double kAboveFloorDb = 12.0;
const double kNearSpeechAboveFloorDb = 6.0;
const double kBelowPeakDb = 35.0;

// Voicing: a frame is periodic when its waveform's slope (the first
// difference, which whitens the low rumble of noise) correlates with itself
// one pitch period later, for a pitch between 70 and 400 Hz.
constexpr size_t kPitchWindow = 480; // 30 ms
constexpr size_t kShortestPeriod = 40;
constexpr size_t kLongestPeriod = 228;
const double kPeriodicCorrelation = 0.6; // noise stays far below, a vowel above
// Voiced frames a recording needs to hold a voice at all (noise alone has
// none: its correlation stays near 0.1 at any lag).
constexpr int kVoicedFrames = 3;

double percentile(std::vector<double> v, double q) {
    if (v.empty())
        return 0;
    size_t k = static_cast<size_t>(q * (v.size() - 1));
    std::nth_element(v.begin(), v.begin() + k, v.end());
    return v[k];
}

} // namespace

SpeechActivity::SpeechActivity(const std::vector<int16_t>& samples) {
    std::vector<double> levels; // dBFS of each frame's window, offset removed
    for (size_t start = 0; start < samples.size(); start += kFrame) {
        size_t end = std::min(samples.size(), start + kWindow);
        double mean = 0;
        for (size_t i = start; i < end; ++i)
            mean += samples[i];
        mean /= end - start;
        double energy = 0;
        for (size_t i = start; i < end; ++i)
            energy += (samples[i] - mean) * (samples[i] - mean);
        double rms = std::sqrt(energy / (end - start)) / 32768.0;
        levels.push_back(20 * std::log10(rms + 1e-9));
    }
    double floor = percentile(levels, 0.1), loud = percentile(levels, 0.95);
    double threshold = std::max(floor + kAboveFloorDb, loud - kBelowPeakDb);
    double near = std::max(floor + kNearSpeechAboveFloorDb, loud - kBelowPeakDb);
    for (double level : levels) {
        speech_.push_back(level > threshold);
        silent_ = silent_ && level <= kSilenceDb;
    }
    extendOver(levels, near);
    std::vector<double> slope(samples.size(), 0.0);
    for (size_t i = 1; i < samples.size(); ++i)
        slope[i] = static_cast<double>(samples[i]) - samples[i - 1];
    int voicedFrames = 0;
    for (size_t f = 0; f < speech_.size() && voicedFrames < kVoicedFrames; ++f)
        if (speech_[f] && periodic(slope, f * kFrame))
            ++voicedFrames;
    voiced_ = voicedFrames >= kVoicedFrames;
}

void SpeechActivity::extendOver(const std::vector<double>& levels, double near) {
    // Both ways from every speech frame, as long as the level stays above `near`.
    const int n = frames();
    for (int f = 1; f < n; ++f)
        speech_[f] = speech_[f] || (speech_[f - 1] && levels[f] > near);
    for (int f = n - 2; f >= 0; --f)
        speech_[f] = speech_[f] || (speech_[f + 1] && levels[f] > near);
}

bool SpeechActivity::periodic(const std::vector<double>& slope, size_t start) {
    if (start + kPitchWindow > slope.size())
        return false;
    const double* x = slope.data() + start;
    for (size_t lag = kShortestPeriod; lag <= kLongestPeriod; ++lag) {
        double xy = 0, xx = 0, yy = 0;
        for (size_t i = 0; i + lag < kPitchWindow; ++i) {
            xy += x[i] * x[i + lag];
            xx += x[i] * x[i];
            yy += x[i + lag] * x[i + lag];
        }
        if (xy > kPeriodicCorrelation * std::sqrt(xx * yy) && xy > 0)
            return true;
    }
    return false;
}

bool SpeechActivity::isSpeech(int frame) const {
    return frame >= 0 && frame < frames() && speech_[frame];
}
