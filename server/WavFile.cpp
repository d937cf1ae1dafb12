#include "WavFile.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace lintavo {

namespace {

uint32_t le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t le16(const unsigned char* p) {
    return uint16_t(p[0] | p[1] << 8);
}

void put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back(char((v >> (8 * i)) & 0xff));
}
void put16(std::string& s, uint16_t v) {
    s.push_back(char(v & 0xff));
    s.push_back(char(v >> 8));
}

} // namespace

bool WavFile::read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto p = reinterpret_cast<const unsigned char*>(data.data());
    if (data.size() < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0)
        return false;
    int channels = 1, bits = 16;
    for (size_t pos = 12; pos + 8 <= data.size();) {
        uint32_t size = le32(p + pos + 4);
        if (std::memcmp(p + pos, "fmt ", 4) == 0 && pos + 24 <= data.size()) {
            channels = le16(p + pos + 10);
            sampleRate = int(le32(p + pos + 12));
            bits = le16(p + pos + 22);
        } else if (std::memcmp(p + pos, "data", 4) == 0) {
            if (bits != 16 || channels < 1 || sampleRate <= 0)
                return false;
            // espeak-ng may leave the streaming size in the header; trust the file length.
            size_t available = data.size() - pos - 8;
            size_t bytes = std::min<size_t>(size, available);
            size_t frames = bytes / (2 * size_t(channels));
            samples.resize(frames);
            for (size_t i = 0; i < frames; ++i)
                samples[i] = int16_t(le16(p + pos + 8 + i * 2 * channels));
            return true;
        }
        pos += 8 + size + (size & 1);
    }
    return false;
}

bool WavFile::write(const std::string& path) const {
    std::string out = "RIFF";
    uint32_t dataBytes = uint32_t(samples.size() * 2);
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);
    put16(out, 1);
    put32(out, uint32_t(sampleRate));
    put32(out, uint32_t(sampleRate * 2));
    put16(out, 2);
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    for (int16_t s : samples)
        put16(out, uint16_t(s));
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.data(), std::streamsize(out.size()));
    return bool(file);
}

} // namespace lintavo
