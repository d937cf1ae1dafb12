#pragma once

#include "SeedCatalog.h"
#include "WavFile.h"

#include <string>
#include <vector>

namespace lintavo {

struct TimedSentence {
    int line = 0;
    int startMs = 0;
    int stopMs = 0;
    std::string en;
    std::string cn;
};

// Places a clip's spoken sentences on its time line and reads and writes the subtitle file
// (records of sequence, timing, English, Chinese and a blank line; UTF-8 with BOM).
class ClipLayout {
public:
    static constexpr int kMinimumClipMs = 10000;

    // Sentences with their timings; `totalMs` receives the clip length.
    static std::vector<TimedSentence> arrange(const std::vector<int>& voiceMs,
                                              const std::vector<SeedSentence>& sentences,
                                              int& totalMs);
    // The voice track: each recording at its sentence's start.
    static WavFile voiceTrack(const std::vector<WavFile>& voices,
                              const std::vector<TimedSentence>& timed, int totalMs);
    static std::string subtitleText(const std::vector<TimedSentence>& timed);
    static std::vector<TimedSentence> parseSubtitle(const std::string& text);
    static std::string formatTime(int ms);
    static int parseTime(const std::string& text);
    // Clip length implied by a subtitle file's timings.
    static int clipLengthMs(const std::vector<TimedSentence>& timed);
};

} // namespace lintavo
