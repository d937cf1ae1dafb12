#include "SpeechActivity.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t kFrame = 160;  // 10 ms at 16 kHz
constexpr size_t kWindow = 400; // 25 ms around each frame
const double kSilenceDb = -45.0;
// A frame is speech when it is this much above the floor and within this
// much of the loudest frames.
const double kAboveFloorDb = 12.0;
const double kBelowPeakDb = 35.0;

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
    for (double level : levels) {
        speech_.push_back(level > threshold);
        silent_ = silent_ && level <= kSilenceDb;
    }
}

bool SpeechActivity::isSpeech(int frame) const {
    return frame >= 0 && frame < frames() && speech_[frame];
}
