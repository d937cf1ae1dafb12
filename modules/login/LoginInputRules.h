#pragma once

#include <QString>

// The checks of the login form, in the order the user is told about them.
// Each returns the message for the first broken rule, or "" when the input
// may be sent.
class LoginInputRules {
public:
    static QString accountLoginError(const QString& account, const QString& password, bool agreed);
    static QString codeLoginError(const QString& mobile, const QString& code, bool agreed);
    static QString mobileError(const QString& mobile);

    static bool isAccount(const QString& text);
    static bool isPassword(const QString& text);
    static bool isMobile(const QString& text);
    static bool isSmsCode(const QString& text);
};
