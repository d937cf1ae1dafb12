#include "WavProbe.h"

#include <QFile>
#include <QtEndian>
#include <cmath>

WavProbe WavProbe::read(const QString& path) {
    WavProbe wav;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return wav;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return wav;
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    int at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const int size = int(qMin<quint32>(u32(at + 4), quint32(bytes.size() - at - 8)));
        const int body = at + 8;
        if (id == "fmt " && size >= 16) {
            wav.channels = u16(body + 2);
            wav.sampleRate = int(u32(body + 4));
            wav.bitsPerSample = u16(body + 14);
        } else if (id == "data" && wav.bitsPerSample == 16 && wav.channels > 0) {
            const int frames = size / (2 * wav.channels);
            wav.samples.resize(frames);
            for (int i = 0; i < frames; ++i)
                wav.samples[i] = qint16(u16(body + i * 2 * wav.channels));
            wav.ok = true;
        }
        at = body + size + (size & 1);
    }
    return wav;
}

double WavProbe::rms(int from, int count) const {
    const int end = count < 0 ? samples.size() : qMin(samples.size(), from + count);
    double sum = 0;
    for (int i = from; i < end; ++i)
        sum += double(samples[i]) * samples[i];
    return end > from ? std::sqrt(sum / (end - from)) : 0;
}

double WavProbe::onsetSeconds(double threshold) const {
    const int window = qMax(1, sampleRate / 50);
    for (int from = 0; from + window <= samples.size(); from += window) {
        if (rms(from, window) > threshold)
            return double(from) / sampleRate;
    }
    return -1;
}

double WavProbe::offsetSeconds(double threshold) const {
    const int window = qMax(1, sampleRate / 50);
    for (int from = (samples.size() / window - 1) * window; from >= 0; from -= window) {
        if (rms(from, window) > threshold)
            return double(from + window) / sampleRate;
    }
    return -1;
}
