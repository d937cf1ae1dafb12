#pragma once

#include <QByteArray>
#include <QString>

// The engine reads 16 kHz mono 16-bit PCM WAV. A take the recorder already
// wrote that way goes to the engine as it is: converting it once more would
// put an ffmpeg start (70-100 ms here) before every score.
class EngineAudio {
public:
    // The file's bytes when it is such a WAV file with samples, else empty.
    static QByteArray readIfReady(const QString& path);
    static bool isReady(const QByteArray& wav);
};
