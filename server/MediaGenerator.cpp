#include "MediaGenerator.h"

#include "ProcessRunner.h"
#include "ToneSynth.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace lintavo {

namespace {

constexpr int kProcessTimeoutMs = 120000;

const char* kPalette[][2] = {{"0x2ad3d7", "0x2acf6f"}, {"0x9d45fc", "0x7b4af7"},
                             {"0xff7f2c", "0xffbc49"}, {"0x3b6fd8", "0x49c6ff"},
                             {"0xff554c", "0xffa07a"}, {"0x1e8c5a", "0xa6e22e"}};

std::string asciiTitle(const std::string& title) {
    std::string out;
    for (char c : title)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ')
            out.push_back(c);
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

MediaGenerator::MediaGenerator(std::string mediaDir) : mediaDir_(std::move(mediaDir)) {
    ::mkdir(mediaDir_.c_str(), 0755);
    ::mkdir(path("dubs").c_str(), 0755);
    ::mkdir(path(".work").c_str(), 0755);
}

bool MediaGenerator::exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

bool MediaGenerator::writeAtomically(const std::string& path, const std::string& content) {
    std::string temporary = path + ".part" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), std::streamsize(content.size()));
        if (!out)
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

std::string MediaGenerator::temporaryName(const std::string& name) const {
    // Keep the extension so that ffmpeg picks the right container.
    auto dot = name.rfind('.');
    std::string stem = name.substr(0, dot);
    for (auto& c : stem)
        if (c == '/')
            c = '_';
    return ".work/" + stem + "-" + std::to_string(::getpid()) + name.substr(dot);
}

std::string MediaGenerator::sampleDubName(int clipId) {
    return "dubs/" + SeedCatalog::clipStem(clipId) + "-dub.aac";
}

std::vector<std::string> MediaGenerator::clipFiles(int clipId) {
    std::string stem = SeedCatalog::clipStem(clipId);
    std::vector<std::string> files = {stem + ".srt", stem + "-voice.wav", stem + "-bg.mp3",
                                      stem + ".mp4", stem + "-cover.jpg"};
    if (hasSampleDub(clipId))
        files.push_back(sampleDubName(clipId));
    return files;
}

bool MediaGenerator::runFfmpeg(std::vector<std::string> args, const std::string& outputName) const {
    std::string temporary = temporaryName(outputName);
    args.insert(args.begin(), {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y"});
    args.push_back(path(temporary));
    auto result = ProcessRunner::run(args, kProcessTimeoutMs);
    if (result.exitCode != 0 || !exists(path(temporary))) {
        std::fprintf(stderr, "media: ffmpeg failed for %s: %s\n", outputName.c_str(),
                     result.errors.c_str());
        ::unlink(path(temporary).c_str());
        return false;
    }
    return std::rename(path(temporary).c_str(), path(outputName).c_str()) == 0;
}

bool MediaGenerator::makeVoiceTrack(int clipId, const SeedClip& clip) {
    std::string stem = SeedCatalog::clipStem(clipId);
    std::vector<WavFile> voices;
    std::vector<int> lengths;
    for (size_t i = 0; i < clip.sentences.size(); ++i) {
        std::string wav = path(".work/" + stem + "-s" + std::to_string(i) + "-" +
                               std::to_string(::getpid()) + ".wav");
        const std::string& voice = clip.voices[i % clip.voices.size()];
        auto result =
            ProcessRunner::run({"espeak-ng", "-v", voice, "-s", std::to_string(clip.wordsPerMinute),
                                "-w", wav, "--", clip.sentences[i].en},
                               kProcessTimeoutMs);
        WavFile file;
        bool ok = result.exitCode == 0 && file.read(wav);
        ::unlink(wav.c_str());
        if (!ok) {
            std::fprintf(stderr, "media: espeak-ng failed for %s: %s\n", stem.c_str(),
                         result.errors.c_str());
            return false;
        }
        lengths.push_back(file.milliseconds());
        voices.push_back(std::move(file));
    }
    int totalMs = 0;
    auto timed = ClipLayout::arrange(lengths, clip.sentences, totalMs);
    WavFile track = ClipLayout::voiceTrack(voices, timed, totalMs);
    std::string temporary = path(temporaryName(stem + "-voice.wav"));
    if (!track.write(temporary) ||
        std::rename(temporary.c_str(), path(stem + "-voice.wav").c_str()) != 0)
        return false;
    // The subtitle file goes last: its presence marks the voice stage as done.
    return writeAtomically(path(stem + ".srt"), ClipLayout::subtitleText(timed));
}

std::vector<TimedSentence> MediaGenerator::ensureTimings(int clipId, const SeedClip& clip) {
    std::string stem = SeedCatalog::clipStem(clipId);
    if (!exists(path(stem + ".srt")) || !exists(path(stem + "-voice.wav")))
        makeVoiceTrack(clipId, clip);
    return ClipLayout::parseSubtitle(readFile(path(stem + ".srt")));
}

bool MediaGenerator::makeVideo(int clipId, const SeedClip& clip, const std::string& mixWav,
                               int totalMs) {
    const auto& colours = kPalette[clipId % 6];
    std::string seconds = std::to_string(totalMs / 1000);
    std::string source = "gradients=s=320x180:r=15:c0=" + std::string(colours[0]) +
                         ":c1=" + colours[1] + ":speed=0.03:seed=" + std::to_string(clipId) +
                         ":d=" + seconds;
    const char* font = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    if (exists(font))
        source +=
            ",drawtext=fontfile=" + std::string(font) + ":text='" + asciiTitle(clip.title) +
            "':fontcolor=white:fontsize=20:borderw=2:x=(w-tw)/2+40*sin(t):y=h/2-th/2+20*cos(t*0.7)";
    return runFfmpeg({"-f",   "lavfi",   "-i",       source,      "-i",        mixWav,
                      "-c:v", "libx264", "-preset",  "ultrafast", "-crf",      "32",
                      "-g",   "15",      "-pix_fmt", "yuv420p",   "-c:a",      "aac",
                      "-b:a", "64k",     "-t",       seconds,     "-movflags", "+faststart"},
                     SeedCatalog::clipStem(clipId) + ".mp4");
}

bool MediaGenerator::ensureEncoded(int clipId, const SeedClip& clip) {
    std::string stem = SeedCatalog::clipStem(clipId);
    auto timed = ensureTimings(clipId, clip);
    if (timed.empty())
        return false;
    int totalMs = ClipLayout::clipLengthMs(timed);
    WavFile voice;
    if (!voice.read(path(stem + "-voice.wav")))
        return false;
    WavFile music = ToneSynth::backgroundMusic(totalMs, clipId, voice.sampleRate);
    std::string musicWav = path(temporaryName(stem + "-music.wav"));
    std::string mixWav = path(temporaryName(stem + "-mix.wav"));
    bool ok = music.write(musicWav) && ToneSynth::mix(voice, music).write(mixWav);
    if (ok && !exists(path(stem + "-bg.mp3")))
        ok = runFfmpeg({"-i", musicWav, "-c:a", "libmp3lame", "-b:a", "64k"}, stem + "-bg.mp3");
    if (ok && !exists(path(stem + ".mp4")))
        ok = makeVideo(clipId, clip, mixWav, totalMs);
    if (ok && !exists(path(stem + "-cover.jpg")))
        ok = runFfmpeg({"-ss", "2", "-i", path(stem + ".mp4"), "-frames:v", "1", "-q:v", "4"},
                       stem + "-cover.jpg");
    if (ok && hasSampleDub(clipId) && !exists(path(sampleDubName(clipId))))
        ok =
            runFfmpeg({"-i", path(stem + "-voice.wav"), "-c:a", "aac", "-b:a", "64k", "-f", "adts"},
                      sampleDubName(clipId));
    ::unlink(musicWav.c_str());
    ::unlink(mixWav.c_str());
    return ok;
}

} // namespace lintavo
