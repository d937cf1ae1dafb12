#include "ToneSynth.h"

#include <algorithm>
#include <cmath>

namespace lintavo {

namespace {

constexpr double kPi = 3.14159265358979323846;

double noteFrequency(int semitonesFromA4) {
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

} // namespace

WavFile ToneSynth::backgroundMusic(int milliseconds, int seed, int sampleRate) {
    // I - V - vi - IV, as semitone offsets of root, third and fifth.
    static const int chords[4][3] = {{0, 4, 7}, {7, 11, 14}, {9, 12, 16}, {5, 9, 12}};
    const int root = -21 + (seed * 5) % 12; // around C3
    const double chordSeconds = 1.6 + 0.1 * (seed % 5);
    WavFile out;
    out.sampleRate = sampleRate;
    size_t total = size_t(int64_t(milliseconds) * sampleRate / 1000);
    out.samples.resize(total);
    for (size_t i = 0; i < total; ++i) {
        double t = double(i) / sampleRate;
        int chord = int(t / chordSeconds) % 4;
        double inChord = std::fmod(t, chordSeconds);
        double envelope =
            std::min(1.0, inChord / 0.25) * std::min(1.0, (chordSeconds - inChord) / 0.3);
        double value = 0;
        for (int k = 0; k < 3; ++k)
            value += std::sin(2 * kPi * noteFrequency(root + chords[chord][k]) * t);
        double beat = std::fmod(t, chordSeconds / 4);
        value += 0.6 * std::sin(2 * kPi * noteFrequency(root - 12 + chords[chord][0]) * t) *
                 std::exp(-beat * 6);
        double fade = std::min({1.0, t / 0.5, (double(total) / sampleRate - t) / 0.8});
        out.samples[i] = int16_t(value * envelope * std::max(fade, 0.0) * 1500);
    }
    return out;
}

WavFile ToneSynth::mix(const WavFile& voice, const WavFile& music) {
    WavFile out;
    out.sampleRate = music.sampleRate;
    out.samples.resize(std::max(voice.samples.size(), music.samples.size()));
    for (size_t i = 0; i < out.samples.size(); ++i) {
        int v = i < voice.samples.size() ? voice.samples[i] : 0;
        int m = i < music.samples.size() ? music.samples[i] : 0;
        out.samples[i] = int16_t(std::clamp(v + m, -32768, 32767));
    }
    return out;
}

} // namespace lintavo
