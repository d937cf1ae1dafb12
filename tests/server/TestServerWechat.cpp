#include "ApiClient.h"
#include "ServerProcess.h"

#include <QImage>
#include <QtTest>

// The WeChat QR login as the login window drives it: QR info, the QR page whose image address
// the window cuts out of the HTML, the phone's confirmation, the code poll and the account link.
class TestServerWechat : public QObject {
    Q_OBJECT

private:
    ServerProcess server_;
    std::unique_ptr<ApiClient> api_;
    const QString appId_ = QStringLiteral(LINTAVO_TEST_WECHAT_APP_ID);

    QJsonObject qrInfo(const QString& appId) {
        return api_->getBuilt("/weixin/getLoginQrcodeInfo",
                              {{"uid", ""}, {"auth_token", ""}, {"app_id", appId}});
    }
    QString poll(const QString& codeId) {
        QJsonObject answer = api_->getBuilt("/weixin/getCode",
                                            {{"uid", ""}, {"auth_token", ""}, {"code_id", codeId}});
        return answer.value("status").toInt() == 1
                   ? answer.value("data").toObject().value("code").toString()
                   : "failed: " + answer.value("msg").toString();
    }
    // The login window's rule for the image address inside the QR page.
    static QString imagePath(QString html) {
        html = html.mid(html.indexOf("<img"));
        html = html.mid(html.indexOf("src="));
        html = html.mid(html.indexOf("/"));
        return html.left(html.indexOf("\">"));
    }
    QJsonObject userInfo(const QString& codeId) {
        return api_
            ->getBuilt(
                "/weixin/weixinUserInfo",
                {{"uid", ""}, {"auth_token", ""}, {"app_id", appId_}, {"code", poll(codeId)}})
            .value("data")
            .toObject();
    }
    // The login window's user-info address, which carries the access token.
    QString authUrl(const QString& accessToken, const QString& openid) const {
        return server_.origin().toString() + "/sns/userinfo?lintavo=1&access_token=" + accessToken +
               "&openid=" + openid;
    }
    QJsonObject link(const QJsonObject& info, const QString& authUrl) {
        QVariantMap body = {{"uid", ""},
                            {"auth_token", ""},
                            {"type", "3"},
                            {"nickname", info.value("nickname").toString()},
                            {"sex", info.value("sex").toString()},
                            {"avatar", info.value("avatar").toString()},
                            {"devicetoken", "d"},
                            {"device_info", "d"},
                            {"auth_url", authUrl},
                            {"token", info.value("openid").toString()}};
        return api_->post("/user/third_login", body, "signature");
    }
    QJsonObject loginWith(const QString& codeId) {
        QJsonObject info = userInfo(codeId);
        return link(
            info, authUrl(info.value("access_token").toString(), info.value("openid").toString()));
    }
    QString scannedBy(const QString& nickname, const QString& phone = {}) {
        QString codeId = qrInfo(appId_).value("data").toObject().value("code_id").toString();
        api_->get("/test/wechat_confirm?code_id=" + codeId + "&nickname=" + nickname +
                  "&phone=" + phone);
        return codeId;
    }

private slots:
    void initTestCase() {
        QVERIFY(server_.start());
        api_ = std::make_unique<ApiClient>(server_.origin());
    }
    void cleanupTestCase() { server_.stop(); }

    void qrPageCarriesARealQrImage() {
        QCOMPARE(qrInfo("wxsomebodyelse").value("status").toInt(), 0);
        QJsonObject info = qrInfo(appId_).value("data").toObject();
        QUrl page(info.value("url").toString());
        QCOMPARE(page.port(), server_.origin().port());
        ApiClient::Reply html = api_->get(page.path() + "?" + page.query());
        QCOMPARE(html.httpStatus, 200);
        QString path = imagePath(QString::fromUtf8(html.body));
        QVERIFY2(path.startsWith("/connect/qrcode/") && path.endsWith(".png"), qPrintable(path));
        ApiClient::Reply png = api_->get(path);
        QCOMPARE(png.headers.value("content-type"), QByteArray("image/png"));
        QImage image = QImage::fromData(png.body, "PNG");
        QVERIFY(!image.isNull());
        QCOMPARE(image.width(), image.height());
    }

    void codeAppearsOnceAfterTheScan() {
        QString codeId = qrInfo(appId_).value("data").toObject().value("code_id").toString();
        QCOMPARE(poll(codeId), QString());
        QVERIFY(poll("0123").startsWith("failed"));
        QCOMPARE(api_->get("/test/wechat_confirm?code_id=" + codeId + "&nickname=Zhang")
                     .json()
                     .value("status")
                     .toInt(),
                 1);
        QCOMPARE(api_->get("/test/wechat_confirm?code_id=" + codeId).json().value("status").toInt(),
                 0);
        QJsonObject login = loginWith(codeId);
        QCOMPARE(login.value("status").toInt(), 1);
        QCOMPARE(login.value("data").toObject().value("nickname").toString(), QString("Zhang"));
        QCOMPARE(poll(codeId), QString()); // delivered once only
    }

    void theSamePhoneLinksTheSameAccountAgain() {
        QString first = qrInfo(appId_).value("data").toObject().value("code_id").toString();
        ApiClient::Reply form = api_->get("/connect/confirm?code_id=" + first);
        QVERIFY(QString::fromUtf8(form.body).contains("<form"));
        auto confirm = [&](const QString& codeId, const QByteArray& cookie) {
            return api_->send(
                "POST", "/connect/confirm", "code_id=" + codeId.toLatin1() + "&nickname=Wang",
                {{"Content-Type", "application/x-www-form-urlencoded"}, {"Cookie", cookie}});
        };
        ApiClient::Reply confirmed = confirm(first, "");
        QCOMPARE(confirmed.httpStatus, 200);
        QByteArray cookie = confirmed.headers.value("set-cookie");
        cookie = cookie.left(cookie.indexOf(';'));
        QVERIFY2(cookie.startsWith("lintavo_wx_phone="), cookie.constData());
        QString uid = loginWith(first).value("data").toObject().value("uid").toString();
        QString second = qrInfo(appId_).value("data").toObject().value("code_id").toString();
        QCOMPARE(confirm(second, cookie).httpStatus, 200);
        QCOMPARE(loginWith(second).value("data").toObject().value("uid").toString(), uid);

        // Another phone under the same public nickname is another WeChat user.
        QJsonObject other = loginWith(scannedBy("Wang", "0123456789abcdef0123456789abcdef"));
        QCOMPARE(other.value("status").toInt(), 1);
        QVERIFY(other.value("data").toObject().value("uid").toString() != uid);
    }

    void aLinkNeedsTheAccessTokenOfItsOpenid() {
        QJsonObject mine = userInfo(scannedBy("Li"));
        QJsonObject theirs = userInfo(scannedBy("Zhao"));
        const QString openid = mine.value("openid").toString();
        QVERIFY(openid.startsWith("wx"));
        QVERIFY(openid != theirs.value("openid").toString());
        // A bare openid, or one with another user's access token, links nothing.
        QCOMPARE(link(mine, "x").value("status").toInt(), 0);
        QCOMPARE(link(mine, authUrl("", openid)).value("status").toInt(), 0);
        QCOMPARE(link(mine, authUrl(theirs.value("access_token").toString(), openid))
                     .value("status")
                     .toInt(),
                 0);
        QCOMPARE(link(mine, authUrl(mine.value("access_token").toString(),
                                    theirs.value("openid").toString()))
                     .value("status")
                     .toInt(),
                 0);
        QJsonObject linked = link(mine, authUrl(mine.value("access_token").toString(), openid));
        QCOMPARE(linked.value("status").toInt(), 1);
        QCOMPARE(linked.value("data").toObject().value("nickname").toString(), QString("Li"));
    }

    void forgedLinksAreRefused() {
        QVariantMap body = {{"uid", ""},          {"auth_token", ""},
                            {"type", "3"},        {"nickname", "x"},
                            {"sex", "1"},         {"avatar", ""},
                            {"devicetoken", "d"}, {"device_info", "d"},
                            {"auth_url", "x"},    {"token", "wx-never-issued"}};
        QCOMPARE(api_->post("/user/third_login", body, "signature").value("status").toInt(), 0);
        QJsonObject reused =
            api_->getBuilt("/weixin/weixinUserInfo",
                           {{"uid", ""}, {"auth_token", ""}, {"app_id", appId_}, {"code", "abc"}});
        QCOMPARE(reused.value("status").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestServerWechat)
#include "TestServerWechat.moc"
