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
};
