#pragma once

#include "Mediator.h"
#include "UserDao.h"

#include <QVariantMap>

// Loads the member fields of the session record again once the purchase
// window has closed, so that a learner who has just paid is a member at once
// (the next video page reads it). It owns itself and goes with the answer.
class MembershipRefresh : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    static constexpr int kGiveUpMs = 60000;

    // Asks the service, when somebody is logged in.
    static void start();
    // Copies the member state of a package list answer into the record.
    static void apply(UserDao* record, const QVariantMap& plans);

    void onEvent(int id, const AnyValue& value) override;

private:
    MembershipRefresh();
    void finish();

    QString m_userId; // whose membership was asked for
};
