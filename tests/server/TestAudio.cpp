#include "TestAudio.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

namespace {

bool ffmpeg(const QStringList& arguments) {
    QProcess process;
    process.start("ffmpeg", QStringList{"-v", "error", "-y"} + arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

QByteArray generated(const QString& extension, int seconds) {
    static QTemporaryDir folder;
    static QMap<QString, QByteArray> cache;
    const QString name = folder.filePath(QString("tone%1.%2").arg(seconds).arg(extension));
    if (cache.contains(name))
        return cache.value(name);
    const QString wav = folder.filePath(QString("tone%1.wav").arg(seconds));
    if (!QFile::exists(wav))
        ffmpeg({"-f", "lavfi", "-i", QString("sine=frequency=440:duration=%1").arg(seconds), "-ar",
                "16000", "-ac", "1", wav});
    if (extension == "aac")
        ffmpeg({"-i", wav, "-codec:a", "aac", name});
    QFile file(name);
    file.open(QIODevice::ReadOnly);
    cache.insert(name, file.readAll());
    return cache.value(name);
}

} // namespace

QByteArray TestAudio::aac(int seconds) {
    return generated("aac", seconds);
}

QByteArray TestAudio::wav(int seconds) {
    return generated("wav", seconds);
}
