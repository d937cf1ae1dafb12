#pragma once

#include <QString>

// Build-time settings of the service; the environment variables
// LINTAVO_API_ORIGIN, LINTAVO_DICT_ORIGIN and LINTAVO_WEB_ORIGIN override the
// origins at run time (development and tests).
class ServiceSettings {
public:
    static QString apiOrigin();
    static QString dictOrigin();
    static QString webOrigin();
    static QString signingKey();
    static QString wechatAppId();

private:
    static QString origin(const char* variable, const char* builtIn);
};
