#pragma once

#include "EventIds.h"
#include "EventRecorder.h"
#include "Facade.h"
#include "HttpHandler.h"
#include "LoginObject.h"
#include "LoginView.h"
#include "UserDao.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

// What the application sets up before any window: the one session record
// and the web service client talking to the reference service started for
// the test (LINTAVO_API_ORIGIN).
class ServiceFixture {
public:
    ServiceFixture() {
        record = new UserDao(&owner);
        record->reset();
        Facade::instance()->registDao(record);
        HttpHandler::instance();
    }

    // The `data` of a test endpoint of the service.
    static QVariantMap testEndpoint(const QString& pathAndQuery) {
        QNetworkAccessManager network;
        const QUrl url(qEnvironmentVariable("LINTAVO_API_ORIGIN") + pathAndQuery);
        QNetworkReply* reply = network.get(QNetworkRequest(url));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        const QVariantMap answer = QJsonDocument::fromJson(reply->readAll()).toVariant().toMap();
        return answer.value("status").toInt() == 1 ? answer.value("data").toMap() : QVariantMap();
    }

    static QWidget* child(QWidget* view, const char* name) {
        return view->findChild<QWidget*>(QString::fromLatin1(name));
    }
    static void type(QWidget* view, const char* edit, const QString& text) {
        qobject_cast<QLineEdit*>(child(view, edit))->setText(text);
    }
    static void click(QWidget* view, const char* button) {
        QTest::mouseClick(child(view, button), Qt::LeftButton);
    }
    static QString error(QWidget* view) {
        return qobject_cast<QLabel*>(child(view, "error"))->text();
    }

    // Logs in through the login window `view` and waits until it is gone.
    bool passwordLogin(QWidget* view, const QString& account, const QString& password) {
        QPointer<QWidget> window(view);
        type(view, "ID", account);
        type(view, "PW", password);
        click(view, "btnLogin");
        return QTest::qWaitFor([&] { return window.isNull(); }, 10000) && record->hasLogin;
    }

    QObject owner;
    UserDao* record;
    EventRecorder events;
};
