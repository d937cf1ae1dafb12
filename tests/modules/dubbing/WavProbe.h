#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// Reads a PCM WAV file the way the tests need it: format fields and samples.
struct WavProbe {
    bool ok = false;
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    QVector<qint16> samples; // first channel

    static WavProbe read(const QString& path);
    double seconds() const { return sampleRate ? double(samples.size()) / sampleRate : 0; }
    double rms(int from = 0, int count = -1) const;
    // Seconds until the first 20 ms window louder than threshold, or -1.
    double onsetSeconds(double threshold) const;
    // Seconds until the end of the last 20 ms window louder than threshold, or -1.
    double offsetSeconds(double threshold) const;
};
