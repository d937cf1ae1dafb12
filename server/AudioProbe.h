#pragma once

#include <string>

namespace lintavo {

// Asks ffprobe whether a file is audio of the kind its extension names: ADTS AAC for .aac,
// MPEG audio for .mp3, AAC or ALAC in an MP4 container for .m4a, PCM in RIFF WAVE for .wav;
// audio streams only.
class AudioProbe {
public:
    static bool matches(const std::string& path, const std::string& extension);
    // The rule itself, on ffprobe's "key=value" lines.
    static bool acceptable(const std::string& probeOutput, const std::string& extension);
};

} // namespace lintavo
