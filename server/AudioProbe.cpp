#include "AudioProbe.h"

#include "ProcessRunner.h"

#include <sstream>
#include <vector>

namespace lintavo {

namespace {

constexpr int kProbeTimeoutMs = 20000;

bool codecFits(const std::string& codec, const std::string& extension) {
    if (extension == "aac")
        return codec == "aac";
    if (extension == "mp3")
        return codec == "mp3";
    if (extension == "m4a")
        return codec == "aac" || codec == "alac";
    if (extension == "wav")
        return codec.rfind("pcm_", 0) == 0;
    return false;
}

bool formatFits(const std::string& format, const std::string& extension) {
    if (extension == "m4a")
        return format.find("mp4") != std::string::npos || format.find("m4a") != std::string::npos;
    return format == extension;
}

} // namespace

bool AudioProbe::acceptable(const std::string& probeOutput, const std::string& extension) {
    std::istringstream lines(probeOutput);
    std::string line, format;
    std::vector<std::string> codecs, types;
    while (std::getline(lines, line)) {
        auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "format_name")
            format = value;
        else if (key == "codec_name")
            codecs.push_back(value);
        else if (key == "codec_type")
            types.push_back(value);
    }
    if (codecs.empty() || codecs.size() != types.size() || !formatFits(format, extension))
        return false;
    for (size_t i = 0; i < codecs.size(); ++i)
        if (types[i] != "audio" || !codecFits(codecs[i], extension))
            return false;
    return true;
}

bool AudioProbe::matches(const std::string& path, const std::string& extension) {
    auto result = ProcessRunner::run({"ffprobe", "-v", "error", "-show_entries",
                                      "format=format_name:stream=codec_type,codec_name", "-of",
                                      "default=noprint_wrappers=1", "--", path},
                                     kProbeTimeoutMs);
    return result.exitCode == 0 && acceptable(result.output, extension);
}

} // namespace lintavo
