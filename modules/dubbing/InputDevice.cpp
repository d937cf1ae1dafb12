#include "InputDevice.h"

#include "PracticeSettings.h"

#include <QAudioRecorder>
#include <QSet>

namespace {
const char* const kPulseSource = "PULSE_SOURCE";
const QString kPulseInput = QStringLiteral("pulseaudio:");

// The user's own PULSE_SOURCE, if any, is what "system default" means.
QByteArray originalPulseSource() {
    static const QByteArray original = qgetenv(kPulseSource);
    return original;
}
} // namespace

QList<QAudioDeviceInfo> InputDevice::available() {
    // Other back ends list their plug-ins as devices (resamplers, mixers);
    // the default one lists the microphones.
    const QString realm = QAudioDeviceInfo::defaultInputDevice().realm();
    QList<QAudioDeviceInfo> devices;
    QSet<QString> seen;
    for (const QAudioDeviceInfo& device : QAudioDeviceInfo::availableDevices(QAudio::AudioInput)) {
        if (device.realm() != realm || seen.contains(device.deviceName()))
            continue;
        seen.insert(device.deviceName());
        devices << device;
    }
    return devices;
}

QString InputDevice::chosen() {
    return PracticeSettings::inputDevice();
}

QAudioDeviceInfo InputDevice::current() {
    const QString name = chosen();
    if (!name.isEmpty())
        for (const QAudioDeviceInfo& device : available())
            if (device.deviceName() == name)
                return device;
    return QAudioDeviceInfo::defaultInputDevice();
}

void InputDevice::choose(const QString& name) {
    PracticeSettings::setInputDevice(name);
}

void InputDevice::applyTo(QAudioRecorder* recorder) {
    originalPulseSource();
    const QAudioDeviceInfo device = current();
    const bool isDefault =
        chosen().isEmpty() || device.isNull() ||
        device.deviceName() == QAudioDeviceInfo::defaultInputDevice().deviceName();
    const QStringList inputs = recorder->audioInputs();
    if (isDefault) {
        qputenv(kPulseSource, originalPulseSource());
        if (originalPulseSource().isEmpty())
            qunsetenv(kPulseSource);
        recorder->setAudioInput(QString());
    } else if (inputs.contains(device.deviceName())) {
        recorder->setAudioInput(device.deviceName());
    } else if (inputs.contains(kPulseInput)) {
        // GStreamer's recorder reaches PulseAudio only through its default
        // source; the chosen one becomes the default of this process, read
        // when the take's capture connects.
        qputenv(kPulseSource, device.deviceName().toUtf8());
        recorder->setAudioInput(kPulseInput);
    } else {
        recorder->setAudioInput(QString());
    }
}
