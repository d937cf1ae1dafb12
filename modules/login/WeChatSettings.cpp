#include "WeChatSettings.h"

#include "ServiceSettings.h"

namespace {
QString chosen(const char* variable, const char* builtIn, const QString& fallback) {
    QString origin = qEnvironmentVariable(variable);
    if (origin.isEmpty())
        origin = QString::fromUtf8(builtIn);
    if (origin.isEmpty())
        return fallback;
    while (origin.endsWith(QLatin1Char('/')))
        origin.chop(1);
    return origin;
}
} // namespace

QString WeChatSettings::webOrigin() {
    return chosen("LINTAVO_WECHAT_WEB_ORIGIN", LINTAVO_WECHAT_WEB_ORIGIN,
                  ServiceSettings::webOrigin());
}

QString WeChatSettings::apiOrigin() {
    return chosen("LINTAVO_WECHAT_API_ORIGIN", LINTAVO_WECHAT_API_ORIGIN,
                  ServiceSettings::apiOrigin());
}

QString WeChatSettings::appId() {
    return ServiceSettings::wechatAppId();
}
