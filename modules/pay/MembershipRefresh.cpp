#include "MembershipRefresh.h"

#include "EventIds.h"
#include "Facade.h"

#include <QTimer>

MembershipRefresh::MembershipRefresh() {
    onViewInvalidated();
}

void MembershipRefresh::start() {
    auto* refresh = new MembershipRefresh; // deletes itself
    if (!refresh->userDao || !refresh->userDao->hasLogin) {
        delete refresh;
        return;
    }
    refresh->m_userId = refresh->userDao->userID;
    QTimer::singleShot(kGiveUpMs, refresh, &MembershipRefresh::finish);
    refresh->dispatchEvent(Event::REQ_VIP_PLANS, AnyValue());
}

void MembershipRefresh::apply(UserDao* record, const QVariantMap& plans) {
    if (!record || !plans.contains(QStringLiteral("is_vip")))
        return;
    record->isVIP = plans.value(QStringLiteral("is_vip")).toString();
    record->expireVIP = plans.value(QStringLiteral("vip_endtime")).toString();
}

void MembershipRefresh::onEvent(int id, const AnyValue& value) {
    if (id != Event::RES_VIP_PLANS_OK && id != Event::RES_VIP_PLANS_FAIL)
        return;
    // Somebody else may have logged in meanwhile: only the asker's record.
    if (id == Event::RES_VIP_PLANS_OK && userDao && userDao->hasLogin &&
        userDao->userID == m_userId)
        apply(userDao, value.as<QVariant>().toMap());
    finish();
}

void MembershipRefresh::finish() {
    Facade::instance()->detach(this);
    deleteLater();
}
