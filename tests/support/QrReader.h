#pragma once

#include <QProcess>
#include <QString>

// Reads a QR picture back with Debian's zbarimg (package zbar-tools): the
// encoded text, or a line starting with "zbarimg:" saying what went wrong.
inline QString readQrCode(const QString& picture) {
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), picture});
    if (!zbar.waitForFinished(20000) || zbar.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("zbarimg: did not run (%1)").arg(zbar.errorString());
    if (zbar.exitCode() != 0)
        return QStringLiteral("zbarimg: exit code %1").arg(zbar.exitCode());
    QString text = QString::fromUtf8(zbar.readAllStandardOutput());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}
