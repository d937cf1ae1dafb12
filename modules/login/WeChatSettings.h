#pragma once

#include <QString>

// Where WeChat's open platform lives. Both origins are build-time settings;
// left empty they name the service itself, whose reference implementation
// simulates WeChat. LINTAVO_WECHAT_WEB_ORIGIN and LINTAVO_WECHAT_API_ORIGIN
// in the environment override them.
class WeChatSettings {
public:
    // Origin of the QR login page's images.
    static QString webOrigin();
    // Origin of the user-info address handed to the third-party login.
    static QString apiOrigin();
    static QString appId();
};
