#include "UserDao.h"

UserDao::UserDao(QObject* parent) : Dao(parent) {
    reset();
}

void UserDao::reset() {
    hasLogin = false;
    userID.clear();
    name.clear();
    head.clear();
    phone.clear();
    token.clear();
    tokenUpload.clear();
    isVIP = QStringLiteral("0");
    isSVIP = QStringLiteral("0");
    expireVIP.clear();
    expireSVIP.clear();
    imgUrl.clear();
}

void UserDao::fillFromLogin(const QVariantMap& data) {
    // A missing key becomes "", a JSON number its decimal text.
    auto text = [&data](const char* key) { return data.value(QLatin1String(key)).toString(); };
    hasLogin = true;
    userID = text("uid");
    name = text("nickname");
    head = text("avatar");
    phone = text("mobile");
    token = text("auth_token");
    tokenUpload = text("upload_token");
    isVIP = text("is_vip");
    isSVIP = text("is_svip");
    expireVIP = text("vip_endtime");
    expireSVIP = text("svip_endtime");
    imgUrl = text("img_url");
}
