#include "CommonHeaders.h"

#include <QSysInfo>

QString CommonHeaders::deviceId()
{
    static const QString id = QString::fromUtf8(QSysInfo::machineUniqueId());
    return id;
}

QMap<QString, QVariant> CommonHeaders::build() { return build(deviceId()); }

QMap<QString, QVariant> CommonHeaders::build(const QString& deviceId)
{
    const QString windows = QStringLiteral("windows");
    const QString os = QStringLiteral("windows 10");
    return {
        {QStringLiteral("User-Agent"), windows},
        {QStringLiteral("DEVICE-TYPE"), QStringLiteral("4")},
        {QStringLiteral("LTUSER-AGENT"), windows},
        {QStringLiteral("APP-NAME"), QStringLiteral("LINTAVO")},
        {QStringLiteral("App-Version"), QStringLiteral("1.0.0")},
        {QStringLiteral("Device-Model"), os},
        {QStringLiteral("IDFA"), deviceId},
        {QStringLiteral("DISTINCT-ID"), deviceId},
        {QStringLiteral("E-DEVICE-ID"), deviceId},
        {QStringLiteral("CLIENT-OS"), os},
    };
}
