#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lintavo {

// 16-bit PCM mono audio, as espeak-ng writes it and as the media pipeline mixes it.
class WavFile {
public:
    int sampleRate = 22050;
    std::vector<int16_t> samples;

    bool read(const std::string& path);
    bool write(const std::string& path) const;
    int milliseconds() const { return int(int64_t(samples.size()) * 1000 / sampleRate); }
};

} // namespace lintavo
