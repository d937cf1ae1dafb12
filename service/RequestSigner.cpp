#include "RequestSigner.h"

#include "ServiceSettings.h"

#include <QCryptographicHash>
#include <QDateTime>

QString RequestSigner::sign(const ParamMap& params)
{
    QString text;
    for (auto it = params.constBegin(); it != params.constEnd(); ++it)
        text += it.key() + it.value().toString();
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

ParamMap RequestSigner::withKey(ParamMap params)
{
    params.insert(QStringLiteral("security_key"), ServiceSettings::signingKey());
    return params;
}

QString RequestSigner::timestamp()
{
    return QString::number(QDateTime::currentDateTime().toSecsSinceEpoch());
}
