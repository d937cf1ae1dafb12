#pragma once

#include "Dao.h"

// The one record of the logged-in user for the whole run.
class UserDao : public Dao {
    Q_OBJECT
    DAO_FIELD(bool, hasLogin)
    DAO_FIELD(QString, userID)
    DAO_FIELD(QString, name)
    DAO_FIELD(QString, head)
    DAO_FIELD(QString, phone)
    DAO_FIELD(QString, token)
    DAO_FIELD(QString, tokenUpload)
    DAO_FIELD(QString, isVIP)
    DAO_FIELD(QString, isSVIP)
    DAO_FIELD(QString, expireVIP)
    DAO_FIELD(QString, expireSVIP)
    DAO_FIELD(QString, imgUrl)
public:
    explicit UserDao(QObject* parent = nullptr);

    // Back to the logged-out state.
    void reset();
    // Fills the record from the `data` object of a successful login answer.
    void fillFromLogin(const QVariantMap& data);
};
