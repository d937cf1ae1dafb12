#pragma once

#include <QString>

// What the learner set for practising, remembered across restarts in the
// working directory (practice.json): the microphone and, per clip, the
// speed of the original sentence. Read from the file on every call and
// written in one step, so it is never half-written and never stale.
class PracticeSettings {
public:
    static QString path();

    // The chosen input device's name; empty for the system default.
    static QString inputDevice();
    static bool setInputDevice(const QString& name);

    // 0.5, 0.75 or 1 (also for a clip never set or a value not offered).
    static double rate(const QString& clip);
    static bool setRate(const QString& clip, double rate);
    static bool isOffered(double rate);
};
