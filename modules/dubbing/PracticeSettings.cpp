#include "PracticeSettings.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
constexpr double kRates[] = {0.5, 0.75, 1.0};

QJsonObject read() {
    QFile file(PracticeSettings::path());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // An unreadable file counts as nothing set; the next change replaces it.
    return QJsonDocument::fromJson(file.readAll()).object();
}

bool write(const QJsonObject& settings) {
    QSaveFile file(PracticeSettings::path());
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.write(QJsonDocument(settings).toJson(QJsonDocument::Indented)) >= 0 &&
                    file.commit();
    if (!ok)
        qDebug() << "PracticeSettings: cannot write" << file.fileName() << file.errorString();
    return ok;
}
} // namespace

QString PracticeSettings::path() {
    return QDir::current().filePath(QStringLiteral("practice.json"));
}

QString PracticeSettings::inputDevice() {
    return read().value("inputDevice").toString();
}

bool PracticeSettings::setInputDevice(const QString& name) {
    QJsonObject settings = read();
    settings.insert("inputDevice", name);
    return write(settings);
}

bool PracticeSettings::isOffered(double rate) {
    for (double offered : kRates)
        if (qFuzzyCompare(rate, offered))
            return true;
    return false;
}

double PracticeSettings::rate(const QString& clip) {
    const double rate = read().value("rates").toObject().value(clip).toDouble(1.0);
    return isOffered(rate) ? rate : 1.0;
}

bool PracticeSettings::setRate(const QString& clip, double rate) {
    if (clip.isEmpty() || !isOffered(rate))
        return false;
    QJsonObject settings = read();
    QJsonObject rates = settings.value("rates").toObject();
    rates.insert(clip, rate);
    settings.insert("rates", rates);
    return write(settings);
}
