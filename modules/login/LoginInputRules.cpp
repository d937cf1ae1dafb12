#include "LoginInputRules.h"

#include <QRegularExpression>

namespace {
// Whole-text match. The "|" inside the classes is accepted as a character,
// as the service has always allowed it.
bool matchesWhole(const char* rule, const QString& text) {
    const QRegularExpression re(QRegularExpression::anchoredPattern(QLatin1String(rule)));
    return re.match(text).hasMatch();
}

QString agreementError(bool agreed) {
    return agreed ? QString() : QStringLiteral("请先同意用户协议");
}
} // namespace

bool LoginInputRules::isAccount(const QString& text) {
    return matchesWhole("[a-z|A-Z|0-9]{6,16}", text);
}

bool LoginInputRules::isPassword(const QString& text) {
    return matchesWhole("[a-z|A-Z|0-9]{6,16}", text);
}

bool LoginInputRules::isMobile(const QString& text) {
    return matchesWhole("[1]{1,1}[0-9]{10,10}", text);
}

bool LoginInputRules::isSmsCode(const QString& text) {
    return matchesWhole("[0-9]{4,4}", text);
}

QString LoginInputRules::accountLoginError(const QString& account, const QString& password,
                                           bool agreed) {
    if (account.isEmpty())
        return QStringLiteral("请输入用户ID");
    if (!isAccount(account))
        return QStringLiteral("ID格式不对，仅限6-16位字母和数字组合");
    if (password.isEmpty())
        return QStringLiteral("请输入用户密码");
    if (!isPassword(password))
        return QStringLiteral("密码格式不对，仅限6-16位字母和数字组合");
    return agreementError(agreed);
}

QString LoginInputRules::mobileError(const QString& mobile) {
    if (mobile.isEmpty())
        return QStringLiteral("请输入手机号");
    if (!isMobile(mobile))
        return QStringLiteral("手机号格式不对");
    return QString();
}

QString LoginInputRules::codeLoginError(const QString& mobile, const QString& code, bool agreed) {
    const QString mobileProblem = mobileError(mobile);
    if (!mobileProblem.isEmpty())
        return mobileProblem;
    if (code.isEmpty())
        return QStringLiteral("请输入验证码");
    if (!isSmsCode(code))
        return QStringLiteral("验证码格式不对");
    return agreementError(agreed);
}
