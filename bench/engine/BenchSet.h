// The labelled bench set written by generate_set.py, and the recording
// conditions of a real microphone applied to its readings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BenchRow {
    std::string kind;          // correct, different, half, replaced, extra, swapped, silence, noise
    std::string path;          // the recording
    std::string refText;       // what the learner was asked to read
    std::vector<int> labelled; // replaced, swapped or omitted words; where extra speech went
    std::string voice;
    std::string group; // "fit", "held" (voices kept out of fitting) or "none"
};

// Rows of the manifest, plus rows derived from the correct readings: the same
// audio against a reference with one word swapped, and the reference "I"
// against a whole sentence.
std::vector<BenchRow> readBenchSet(const std::string& dir);

// 16 kHz mono samples of a WAV file the set generator wrote.
std::vector<int16_t> readSamples(const std::string& path);
// A 16 kHz mono 16-bit WAV file of the samples.
std::vector<char> wavBytes(const std::vector<int16_t>& samples);

// Recording conditions: "clean", "noise20" (pink noise at 20 dB below the
// speech), "level-30" (peak at -30 dBFS), "dc" (offset of a tenth of full
// scale), "clip" (driven 10 dB past -1 dBFS and clipped there).
const std::vector<std::string>& allConditions();
std::vector<int16_t> applyCondition(const std::vector<int16_t>& samples,
                                    const std::string& condition, unsigned seed);
