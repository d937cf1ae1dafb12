// Turns the bytes a caller fed into 16 kHz mono 16-bit samples, the only
// format the acoustic model understands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class WavDecoder {
public:
    static constexpr int kTargetRate = 16000;

    // Format assumed for headerless input (from the parameter document).
    struct RawFormat {
        int sampleRate = kTargetRate;
        int channels = 1;
        int sampleBytes = 2;
    };

    // Audio longer than this is refused from its header, before any sample
    // is converted (0: no limit).
    explicit WavDecoder(int maxSeconds = 0) : maxSeconds_(maxSeconds) {}

    // Parses a RIFF/WAVE file. PCM of 8/16/24/32 bits and 32-bit float, any
    // channel count and rates from 8 to 96 kHz are converted; anything else
    // fails with a reason in error().
    bool decodeWav(const std::vector<uint8_t>& bytes);
    // Interprets headerless PCM bytes in the given format.
    bool decodeRaw(const std::vector<uint8_t>& bytes, const RawFormat& format);

    const std::vector<int16_t>& samples() const { return samples_; }
    const std::string& error() const { return error_; }
    // The last decode failed because the audio is longer than the limit.
    bool tooLong() const { return tooLong_; }

private:
    struct Format {
        int tag = 0;
        int channels = 0;
        int sampleRate = 0;
        int bitsPerSample = 0;
    };

    bool fail(const std::string& why);
    bool convert(const uint8_t* data, size_t size, const Format& format);
    static double sampleAt(const uint8_t* p, const Format& format);
    void resample(std::vector<float>& mono, int fromRate);

    int maxSeconds_ = 0;
    bool tooLong_ = false;
    std::vector<int16_t> samples_;
    std::string error_;
};
