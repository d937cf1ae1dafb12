#pragma once

#include <QString>
#include <QVector>

// Finds a recording inside a mix, whatever else plays there: both are
// decoded to one rate and channel, and the recording is cross-correlated
// with the mix around where it should be. Other sound does not correlate
// with it, so the peak c over the recording's energy e is its gain in the
// mix, and the peak's position is where it was placed.
class AudioMatch {
public:
    static constexpr int kRate = 8000;

    struct Found {
        bool ok = false;
        double gainDb = 0;
        double offsetMs = 0; // placed minus expected
    };

    // Mono float samples of any file ffmpeg reads; empty on failure.
    static QVector<float> decode(const QString& path);
    // Looks for `part` within ±windowMs of expectedMs in `mix`.
    static Found find(const QVector<float>& mix, const QVector<float>& part, double expectedMs,
                      double windowMs = 200);
    static QVector<float> slice(const QVector<float>& samples, double fromMs, double lengthMs);
    static double seconds(const QVector<float>& samples) { return double(samples.size()) / kRate; }

    // The strongest frequency (Hz, 1 Hz steps from 50 Hz to 3 kHz) of a part.
    static double dominantFrequency(const QVector<float>& samples);
    // Where sound is: [from, to) in ms of every stretch whose 20 ms level
    // stays above `thresholdDb` (dBFS RMS), joined over gaps up to 60 ms.
    struct Span {
        double fromMs = 0;
        double toMs = 0;
        double lengthMs() const { return toMs - fromMs; }
    };
    static QVector<Span> sounding(const QVector<float>& samples, double thresholdDb = -40);
};
