#pragma once

#include "ClipLayout.h"
#include "SeedCatalog.h"

#include <string>
#include <vector>

namespace lintavo {

// Makes a clip's files with espeak-ng and ffmpeg: the subtitle file and voice track (cheap,
// done at start because the timings feed the database), then the background track, the video
// with the original voice, the cover picture and a sample dub (encoded later). Every file is
// written under a temporary name and renamed, so readers never see a half-written file.
class MediaGenerator {
public:
    explicit MediaGenerator(std::string mediaDir);

    // Subtitle timings of the clip, generating its subtitle file and voice track if missing.
    std::vector<TimedSentence> ensureTimings(int clipId, const SeedClip& clip);
    // Encodes whatever of the clip's served files is missing; false if a step failed.
    bool ensureEncoded(int clipId, const SeedClip& clip);

    // Files a clip owns, relative to the media folder.
    static std::vector<std::string> clipFiles(int clipId);
    static bool hasSampleDub(int clipId) { return clipId <= 8; }
    static std::string sampleDubName(int clipId);

    bool runFfmpeg(std::vector<std::string> args, const std::string& outputName) const;
    std::string path(const std::string& name) const { return mediaDir_ + "/" + name; }
    static bool exists(const std::string& path);
    static bool writeAtomically(const std::string& path, const std::string& content);
    // Name under .work/ to write `name` to before renaming it into place.
    std::string temporaryName(const std::string& name) const;

private:
    bool makeVoiceTrack(int clipId, const SeedClip& clip);
    bool makeVideo(int clipId, const SeedClip& clip, const std::string& mixWav, int totalMs);

    std::string mediaDir_;
};

} // namespace lintavo
