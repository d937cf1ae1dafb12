#pragma once

#include "EventIds.h"
#include "Mediator.h"
#include "UserDao.h"

#include <QApplication>
#include <QtTest>

// What the window tests against the reference service share: finding the
// windows and their parts as a person sees them, and logging in.

template <typename Window> QList<Window*> visibleWindows() {
    QList<Window*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(w); window && window->isVisible())
            windows << window;
    return windows;
}

template <typename Part> Part* child(QWidget* view, const char* name) {
    return view->findChild<Part*>(QString::fromLatin1(name));
}

// Logs in through the web service client; true once the session is filled.
inline bool passwordLogin(Mediator& sender, const UserDao* session, const QString& account,
                          const QString& password) {
    sender.dispatchEvent(Event::REQ_LOGIN_PASSWORD,
                         AnyValue::of(QMap<QString, QString>{{"ID", account}, {"PW", password}}));
    return QTest::qWaitFor([session] { return session->hasLogin; }, 20000);
}
