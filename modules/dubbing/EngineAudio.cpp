#include "EngineAudio.h"

#include <QFile>
#include <QtEndian>

namespace {
constexpr qint64 kLargestTake = 64 * 1024 * 1024; // bigger ones go through ffmpeg

quint32 le32(const QByteArray& bytes, qint64 at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 le16(const QByteArray& bytes, qint64 at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

bool isEngineFormat(const QByteArray& wav, qint64 at, quint32 size) {
    return size >= 16 && le16(wav, at) == 1 && le16(wav, at + 2) == 1 &&
           le32(wav, at + 4) == 16000 && le16(wav, at + 14) == 16;
}
} // namespace

bool EngineAudio::isReady(const QByteArray& wav) {
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE")
        return false;
    bool format = false;
    // Chunks as they come; a size running past the end (a file the recorder
    // left unfinished) rules the file out.
    for (qint64 at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(static_cast<int>(at), 4);
        const quint32 size = le32(wav, at + 4);
        at += 8;
        if (size > static_cast<quint64>(wav.size() - at))
            return false;
        if (id == "fmt ")
            format = isEngineFormat(wav, at, size);
        else if (id == "data")
            return format && size > 0;
        at += size + (size & 1);
    }
    return false;
}

QByteArray EngineAudio::readIfReady(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestTake)
        return {};
    const QByteArray wav = file.readAll();
    return isReady(wav) ? wav : QByteArray();
}
