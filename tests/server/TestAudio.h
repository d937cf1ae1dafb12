#pragma once

#include <QByteArray>

// Audio as the client makes it, generated with ffmpeg once per test program: the product file
// (AAC in ADTS, "-codec:a aac") and a recording (16 kHz mono WAV). A tone of `seconds` length.
class TestAudio {
public:
    static QByteArray aac(int seconds = 1);
    static QByteArray wav(int seconds = 1);
};
