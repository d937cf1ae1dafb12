#include "WavDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kFormatPcm = 1;
constexpr int kFormatFloat = 3;
constexpr int kFormatExtensible = 0xFFFE;

uint32_t le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

bool WavDecoder::fail(const std::string& why) {
    samples_.clear();
    error_ = why;
    return false;
}

bool WavDecoder::decodeWav(const std::vector<uint8_t>& bytes) {
    samples_.clear();
    error_.clear();
    tooLong_ = false;
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return fail("audio is not a RIFF/WAVE file");
    Format format;
    bool haveFormat = false;
    size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const uint8_t* chunk = bytes.data() + pos;
        uint32_t size = le32(chunk + 4);
        size_t body = pos + 8;
        size_t available = bytes.size() - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || available < 16)
                return fail("WAV format chunk is truncated");
            format.tag = le16(chunk + 8);
            format.channels = le16(chunk + 10);
            format.sampleRate = static_cast<int>(le32(chunk + 12));
            format.bitsPerSample = le16(chunk + 22);
            if (format.tag == kFormatExtensible && size >= 40 && available >= 40)
                format.tag = le16(chunk + 32); // sub-format GUID starts with the tag
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                return fail("WAV data chunk precedes its format chunk");
            // Streaming writers leave the size 0 or 0xFFFFFFFF: take what is there.
            size_t n = (size == 0 || size > available) ? available : size;
            return convert(bytes.data() + body, n, format);
        }
        pos = body + size + (size & 1);
    }
    return fail("WAV file has no data chunk");
}

bool WavDecoder::decodeRaw(const std::vector<uint8_t>& bytes, const RawFormat& raw) {
    samples_.clear();
    error_.clear();
    tooLong_ = false;
    Format format;
    format.tag = kFormatPcm;
    format.channels = raw.channels;
    format.sampleRate = raw.sampleRate;
    format.bitsPerSample = raw.sampleBytes * 8;
    return convert(bytes.data(), bytes.size(), format);
}

double WavDecoder::sampleAt(const uint8_t* p, const Format& format) {
    if (format.tag == kFormatFloat) {
        float f;
        std::memcpy(&f, p, 4);
        return std::isfinite(f) ? std::clamp(static_cast<double>(f), -1.0, 1.0) : 0.0;
    }
    switch (format.bitsPerSample) {
    case 8:
        return (p[0] - 128) / 128.0;
    case 16:
        return static_cast<int16_t>(le16(p)) / 32768.0;
    case 24: {
        int32_t v = static_cast<int32_t>((p[0] << 8) | (p[1] << 16) | (p[2] << 24)) >> 8;
        return v / 8388608.0;
    }
    default:
        return static_cast<int32_t>(le32(p)) / 2147483648.0;
    }
}

bool WavDecoder::convert(const uint8_t* data, size_t size, const Format& format) {
    bool pcm =
        format.tag == kFormatPcm && (format.bitsPerSample == 8 || format.bitsPerSample == 16 ||
                                     format.bitsPerSample == 24 || format.bitsPerSample == 32);
    bool flt = format.tag == kFormatFloat && format.bitsPerSample == 32;
    if (!pcm && !flt)
        return fail("unsupported WAV encoding (format " + std::to_string(format.tag) + ", " +
                    std::to_string(format.bitsPerSample) + " bits)");
    if (format.channels < 1 || format.channels > 8)
        return fail("unsupported channel count " + std::to_string(format.channels));
    if (format.sampleRate < 8000 || format.sampleRate > 96000)
        return fail("unsupported sample rate " + std::to_string(format.sampleRate));

    size_t frameBytes = static_cast<size_t>(format.bitsPerSample / 8) * format.channels;
    size_t frames = size / frameBytes;
    if (maxSeconds_ > 0 && frames > static_cast<size_t>(maxSeconds_) * format.sampleRate) {
        tooLong_ = true;
        return fail("audio is longer than " + std::to_string(maxSeconds_) + " s");
    }
    std::vector<float> mono(frames);
    for (size_t i = 0; i < frames; ++i) {
        double sum = 0;
        for (int c = 0; c < format.channels; ++c)
            sum += sampleAt(data + i * frameBytes + c * (format.bitsPerSample / 8), format);
        mono[i] = static_cast<float>(sum / format.channels);
    }
    if (format.sampleRate != kTargetRate)
        resample(mono, format.sampleRate);
    samples_.resize(mono.size());
    std::transform(mono.begin(), mono.end(), samples_.begin(), [](float v) {
        return static_cast<int16_t>(std::lround(std::clamp(v * 32768.0f, -32768.0f, 32767.0f)));
    });
    return true;
}

// Windowed-sinc interpolation; the cut-off follows the lower of the two rates
// so downsampling does not fold high frequencies into the speech band.
void WavDecoder::resample(std::vector<float>& mono, int fromRate) {
    const double ratio = static_cast<double>(kTargetRate) / fromRate;
    const double cutoff = std::min(1.0, ratio);
    const int halfTaps = 16;
    const double kPi = 3.14159265358979323846;
    size_t outFrames = static_cast<size_t>(std::floor(mono.size() * ratio));
    std::vector<float> out(outFrames);
    for (size_t n = 0; n < outFrames; ++n) {
        double center = n / ratio;
        long first = static_cast<long>(std::floor(center)) - halfTaps / cutoff;
        long last = static_cast<long>(std::ceil(center)) + halfTaps / cutoff;
        double acc = 0, norm = 0;
        for (long k = std::max(0L, first); k <= last && k < static_cast<long>(mono.size()); ++k) {
            double x = (k - center) * cutoff;
            double sinc = x == 0 ? 1.0 : std::sin(kPi * x) / (kPi * x);
            double w = 0.5 + 0.5 * std::cos(kPi * x / halfTaps);
            if (std::fabs(x) >= halfTaps)
                continue;
            double weight = sinc * w;
            acc += mono[k] * weight;
            norm += weight;
        }
        out[n] = norm != 0 ? static_cast<float>(acc / norm) : 0.0f;
    }
    mono.swap(out);
}
