// Where in a recording there is sound loud enough to be speech, judged per
// 10 ms frame against the recording's own noise floor, so a quiet microphone
// or a noisy room does not change what counts, and whether any of it is a
// voice at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class SpeechActivity {
public:
    explicit SpeechActivity(const std::vector<int16_t>& samples);

    // No frame louder than about -45 dBFS: nothing to decode.
    bool silent() const { return silent_; }
    // Some of its loud frames are periodic as a voice is: without them the
    // sound is noise (a fan, wind, a knock on the microphone), however loud.
    bool voiced() const { return voiced_; }
    // The frame (10 ms, as the decoder counts) is well above the noise floor.
    bool isSpeech(int frame) const;
    int frames() const { return static_cast<int>(speech_.size()); }

private:
    std::vector<bool> speech_;
    bool silent_ = true;
    bool voiced_ = false;

    // Frames above `near` joined to speech frames become speech too.
    void extendOver(const std::vector<double>& levels, double near);
    static bool periodic(const std::vector<double>& slope, size_t start);
};
