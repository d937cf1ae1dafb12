// The engine's audio reader over any bytes: a WAV file, or headerless PCM in
// a format taken from the first byte.
#include "WavDecoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    WavDecoder wav;
    if (!wav.decodeWav(bytes) && wav.error().empty())
        std::abort(); // a refusal always says why
    if (size > 0) {
        WavDecoder raw;
        WavDecoder::RawFormat format;
        format.sampleRate = 8000 * (1 + data[0] % 12);
        format.channels = 1 + (data[0] >> 4) % 3;
        format.sampleBytes = 1 + (data[0] >> 6) % 4;
        raw.decodeRaw(std::vector<uint8_t>(data + 1, data + size), format);
    }
    return 0;
}
