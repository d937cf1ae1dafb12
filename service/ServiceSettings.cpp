#include "ServiceSettings.h"

#include <QByteArray>

QString ServiceSettings::origin(const char* variable, const char* builtIn)
{
    const QByteArray value = qgetenv(variable);
    QString origin = QString::fromUtf8(value.isEmpty() ? QByteArray(builtIn) : value);
    while (origin.endsWith(QLatin1Char('/')))
        origin.chop(1);
    return origin;
}

QString ServiceSettings::apiOrigin() { return origin("LINTAVO_API_ORIGIN", LINTAVO_API_ORIGIN); }

QString ServiceSettings::dictOrigin() { return origin("LINTAVO_DICT_ORIGIN", LINTAVO_DICT_ORIGIN); }

QString ServiceSettings::webOrigin() { return origin("LINTAVO_WEB_ORIGIN", LINTAVO_WEB_ORIGIN); }

QString ServiceSettings::signingKey() { return QStringLiteral(LINTAVO_SIGNING_KEY); }

QString ServiceSettings::wechatAppId() { return QStringLiteral(LINTAVO_WECHAT_APP_ID); }
