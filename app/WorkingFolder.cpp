#include "WorkingFolder.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

const QString& WorkingFolder::markerName() {
    static const QString name = QStringLiteral(".lintavo-workdir");
    return name;
}

bool WorkingFolder::isWorkingFolder(const QString& path) {
    return QFile::exists(QDir(path).filePath(markerName()));
}

bool WorkingFolder::prepare(const QString& path) {
    if (!QDir().mkpath(path))
        return false;
    if (isWorkingFolder(path))
        return true;
    QFile marker(QDir(path).filePath(markerName()));
    if (!marker.open(QIODevice::WriteOnly))
        return false;
    marker.write("Lintavo working folder: recordings, mixes and downloads.\n");
    return marker.flush();
}

QString WorkingFolder::enter() {
    const QString current = QDir::currentPath();
    if (isWorkingFolder(current))
        return current;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty() || !prepare(data) || !QDir::setCurrent(data)) {
        qWarning() << "cannot prepare the working folder" << data << "- working in" << current;
        return QString();
    }
    return QDir::currentPath();
}
