#pragma once

#include <QAudioDeviceInfo>
#include <QList>
#include <QString>

class QAudioRecorder;

// The microphone the learner chose: the devices to choose from, the choice
// (remembered by PracticeSettings) and how a sentence row's recorder is
// pointed at it.
class InputDevice {
public:
    // The input devices of the platform's own audio back end, each once.
    static QList<QAudioDeviceInfo> available();
    // The remembered choice; empty for the system default.
    static QString chosen();
    // The device to listen to: the chosen one while it is there, else the
    // system default.
    static QAudioDeviceInfo current();
    static void choose(const QString& name);
    // Before each take.
    static void applyTo(QAudioRecorder* recorder);
};
