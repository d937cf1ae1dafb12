#include "ClipLayout.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace lintavo {

namespace {
constexpr int kLeadMs = 1000;
constexpr int kGapMs = 900;
constexpr int kTailMs = 1500;
} // namespace

std::vector<TimedSentence> ClipLayout::arrange(const std::vector<int>& voiceMs,
                                               const std::vector<SeedSentence>& sentences,
                                               int& totalMs) {
    int spoken = 0;
    for (int ms : voiceMs)
        spoken += ms;
    int gaps = int(voiceMs.size()) - 1;
    int gap = kGapMs;
    int natural = kLeadMs + spoken + gap * std::max(gaps, 0) + kTailMs;
    if (natural < kMinimumClipMs && gaps > 0)
        gap += (kMinimumClipMs - natural + gaps - 1) / gaps;
    std::vector<TimedSentence> timed;
    int at = kLeadMs;
    for (size_t i = 0; i < voiceMs.size(); ++i) {
        TimedSentence s;
        s.line = int(i) + 1;
        s.startMs = at;
        s.stopMs = at + voiceMs[i];
        s.en = sentences[i].en;
        s.cn = sentences[i].cn;
        timed.push_back(s);
        at = s.stopMs + gap;
    }
    totalMs = clipLengthMs(timed);
    return timed;
}

int ClipLayout::clipLengthMs(const std::vector<TimedSentence>& timed) {
    int end = timed.empty() ? 0 : timed.back().stopMs + kTailMs;
    end = std::max(end, kMinimumClipMs);
    return (end + 999) / 1000 * 1000; // whole seconds, so the listed duration is exact
}

WavFile ClipLayout::voiceTrack(const std::vector<WavFile>& voices,
                               const std::vector<TimedSentence>& timed, int totalMs) {
    WavFile out;
    out.sampleRate = voices.empty() ? 22050 : voices.front().sampleRate;
    out.samples.assign(size_t(int64_t(totalMs) * out.sampleRate / 1000), 0);
    for (size_t i = 0; i < voices.size() && i < timed.size(); ++i) {
        size_t offset = size_t(int64_t(timed[i].startMs) * out.sampleRate / 1000);
        for (size_t k = 0; k < voices[i].samples.size() && offset + k < out.samples.size(); ++k)
            out.samples[offset + k] = voices[i].samples[k];
    }
    return out;
}

std::string ClipLayout::formatTime(int ms) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d,%03d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return buffer;
}

int ClipLayout::parseTime(const std::string& text) {
    int h = 0, m = 0, s = 0, ms = 0;
    if (std::sscanf(text.c_str(), "%d:%d:%d,%d", &h, &m, &s, &ms) != 4)
        return -1;
    return ((h * 60 + m) * 60 + s) * 1000 + ms;
}

std::string ClipLayout::subtitleText(const std::vector<TimedSentence>& timed) {
    std::string out = "\xEF\xBB\xBF";
    for (const auto& s : timed) {
        out += std::to_string(s.line) + "\n";
        out += formatTime(s.startMs) + " --> " + formatTime(s.stopMs) + "\n";
        out += s.en + "\n" + s.cn + "\n\n";
    }
    return out;
}

std::vector<TimedSentence> ClipLayout::parseSubtitle(const std::string& text) {
    std::string body = text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text;
    std::vector<std::string> lines;
    std::istringstream in(body);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    std::vector<TimedSentence> timed;
    for (size_t i = 0; i + 3 < lines.size(); i += 5) {
        TimedSentence s;
        s.line = std::atoi(lines[i].c_str());
        auto arrow = lines[i + 1].find(" --> ");
        if (arrow == std::string::npos)
            break;
        s.startMs = parseTime(lines[i + 1].substr(0, arrow));
        s.stopMs = parseTime(lines[i + 1].substr(arrow + 5));
        s.en = lines[i + 2];
        s.cn = lines[i + 3];
        timed.push_back(s);
    }
    return timed;
}

} // namespace lintavo
