#include "LoginInputRules.h"
#include "QrImageAddress.h"

#include <QtTest>

class LoginRulesTest : public QObject {
    Q_OBJECT
private slots:
    void accountLogin_data() {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("agreed");
        QTest::addColumn<QString>("error");
        const QString ok = "abc123";
        const QString idFormat = "ID格式不对，仅限6-16位字母和数字组合";
        const QString pwFormat = "密码格式不对，仅限6-16位字母和数字组合";
        QTest::newRow("no account") << "" << ok << true << "请输入用户ID";
        QTest::newRow("5 chars") << "abc12" << ok << true << idFormat;
        QTest::newRow("17 chars") << "abcdefghij1234567" << ok << true << idFormat;
        QTest::newRow("16 chars") << "abcdefghij123456" << ok << true << "";
        QTest::newRow("underscore") << "abc_123" << ok << true << idFormat;
        QTest::newRow("bar is a character") << "abc|123" << ok << true << "";
        QTest::newRow("no password") << ok << "" << true << "请输入用户密码";
        QTest::newRow("short password") << ok << "12345" << true << pwFormat;
        QTest::newRow("space in password") << ok << "123 456" << true << pwFormat;
        QTest::newRow("account checked first") << "a"
                                               << "" << false << idFormat;
        QTest::newRow("not agreed") << ok << ok << false << "请先同意用户协议";
        QTest::newRow("fine") << "Lintavo01"
                              << "pass1234" << true << "";
    }
    void accountLogin() {
        QFETCH(QString, account);
        QFETCH(QString, password);
        QFETCH(bool, agreed);
        QFETCH(QString, error);
        QCOMPARE(LoginInputRules::accountLoginError(account, password, agreed), error);
    }

    void codeLogin_data() {
        QTest::addColumn<QString>("mobile");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("agreed");
        QTest::addColumn<QString>("error");
        const QString mobile = "13800138000";
        QTest::newRow("no mobile") << ""
                                   << "1234" << true << "请输入手机号";
        QTest::newRow("starts with 2") << "23800138000"
                                       << "1234" << true << "手机号格式不对";
        QTest::newRow("10 digits") << "1380013800"
                                   << "1234" << true << "手机号格式不对";
        QTest::newRow("12 digits") << "138001380001"
                                   << "1234" << true << "手机号格式不对";
        QTest::newRow("no code") << mobile << "" << true << "请输入验证码";
        QTest::newRow("3 digits") << mobile << "123" << true << "验证码格式不对";
        QTest::newRow("letter") << mobile << "12a4" << true << "验证码格式不对";
        QTest::newRow("5 digits") << mobile << "12345" << true << "验证码格式不对";
        QTest::newRow("not agreed") << mobile << "1234" << false << "请先同意用户协议";
        QTest::newRow("fine") << mobile << "1234" << true << "";
    }
    void codeLogin() {
        QFETCH(QString, mobile);
        QFETCH(QString, code);
        QFETCH(bool, agreed);
        QFETCH(QString, error);
        QCOMPARE(LoginInputRules::codeLoginError(mobile, code, agreed), error);
    }

    void qrImage_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("path");
        QTest::newRow("page") << "<html><head><link href=\"/a.css\"></head><body>"
                                 "<div class=\"x\"><img class=\"qrcode\" src=\"/connect/qrcode/"
                                 "ab12.png\"></div><img src=\"/other.png\"></body></html>"
                              << "/connect/qrcode/ab12.png";
        QTest::newRow("slashes inside") << "<img alt=\"q\" src=\"/q/r/s.png\">"
                                        << "/q/r/s.png";
        QTest::newRow("quote not closing the tag") << "<img src=\"/a.png\" width=\"2\">"
                                                   << "/a.png\" width=\"2";
        QTest::newRow("no image") << "<html><body>expired</body></html>"
                                  << "";
        QTest::newRow("no src") << "<img data=\"x\">"
                                << "";
        QTest::newRow("unclosed") << "<img src=\"/a.png"
                                  << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void qrImage() {
        QFETCH(QString, html);
        QFETCH(QString, path);
        QCOMPARE(QrImageAddress::pathFromHtml(html), path);
        QCOMPARE(QrImageAddress::fromHtml(html, "http://wx.test"),
                 path.isEmpty() ? QString() : "http://wx.test" + path);
    }
};

QTEST_GUILESS_MAIN(LoginRulesTest)
#include "LoginRulesTest.moc"
