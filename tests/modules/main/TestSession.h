#pragma once

#include "Facade.h"
#include "UserDao.h"

// The one session record of a test program, registered before any model is
// built (as the application does at start).
inline UserDao* testSession() {
    static UserDao* record = [] {
        auto* dao = new UserDao;
        dao->reset();
        Facade::instance()->registDao(dao);
        return dao;
    }();
    return record;
}
