#include "Facade.h"
#include "Mediator.h"
#include "UserDao.h"

#include <QtTest>
#include <functional>
#include <memory>

namespace {
// Records what it receives into a shared log and runs an optional action.
class Probe : public Mediator {
public:
    Probe(QString name, QStringList* log) : m_name(std::move(name)), m_log(log) {}
    void onEvent(int id, const AnyValue& value) override {
        m_log->append(QStringLiteral("%1:%2").arg(m_name).arg(id));
        if (action)
            action(id, value);
    }
    std::function<void(int, const AnyValue&)> action;

private:
    QString m_name;
    QStringList* m_log;
};

class Subscriber : public EventHandler {
public:
    explicit Subscriber(QStringList* log) : m_log(log) { addEventListener(7); }
    void onEvent(int id, const AnyValue&) override {
        m_log->append(QStringLiteral("sub:%1").arg(id));
    }

private:
    QStringList* m_log;
};

class RecordHolder : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    RecordHolder() { onViewInvalidated(); }
};
} // namespace

class FrameworkTest : public QObject {
    Q_OBJECT
private slots:
    void deliversInConstructionOrderIncludingSender() {
        QStringList log;
        Probe a("a", &log), b("b", &log), c("c", &log);
        b.dispatchEvent(42, AnyValue());
        QCOMPARE(log, QStringList({"a:42", "b:42", "c:42"}));
    }

    void plainHandlersGetOnlySubscribedIds() {
        QStringList log;
        Subscriber sub(&log);
        Probe p("p", &log);
        p.dispatchEvent(6, AnyValue());
        p.dispatchEvent(7, AnyValue());
        QCOMPARE(log, QStringList({"p:6", "sub:7", "p:7"}));
    }

    void receiverMayDeleteItselfAndALaterReceiver() {
        QStringList log;
        auto* a = new Probe("a", &log);
        auto* b = new Probe("b", &log);
        auto* c = new Probe("c", &log);
        Probe d("d", &log);
        a->action = [a](int, const AnyValue&) { delete a; };
        b->action = [&c](int, const AnyValue&) {
            delete c;
            c = nullptr;
        };
        d.dispatchEvent(1, AnyValue());
        QCOMPARE(log, QStringList({"a:1", "b:1", "d:1"}));
        log.clear();
        d.dispatchEvent(2, AnyValue());
        QCOMPARE(log, QStringList({"b:2", "d:2"}));
        delete b;
    }

    void receiverCreatedDuringDeliveryWaitsForTheNextEvent() {
        QStringList log;
        std::unique_ptr<Probe> late;
        Probe a("a", &log);
        a.action = [&](int id, const AnyValue&) {
            if (id == 1 && !late)
                late = std::make_unique<Probe>("late", &log);
        };
        a.dispatchEvent(1, AnyValue());
        a.dispatchEvent(2, AnyValue());
        QCOMPARE(log, QStringList({"a:1", "a:2", "late:2"}));
    }

    void nestedDispatchDeliversEachEventOncePerReceiver() {
        QStringList log;
        Probe a("a", &log), b("b", &log);
        a.action = [&](int id, const AnyValue&) {
            if (id == 1)
                a.dispatchEvent(2, AnyValue());
        };
        b.dispatchEvent(1, AnyValue());
        QCOMPARE(log, QStringList({"a:1", "a:2", "b:2", "b:1"}));
    }

    void detachedTreeNoLongerReceives() {
        QStringList log;
        auto* root = new Probe("root", &log);
        auto* child = new Probe("child", &log);
        child->setParent(root);
        Probe other("other", &log);
        Facade::instance()->detachTree(root);
        other.dispatchEvent(5, AnyValue());
        QCOMPARE(log, QStringList({"other:5"}));
        delete root; // detaching twice is harmless
    }

    void checkedDownCast() {
        const AnyValue text = AnyValue::of(QString("hi"));
        QCOMPARE(text.as<QString>(), QString("hi"));
        QVERIFY(text.holds<QString>());
        bool threw = false;
        try {
            text.as<QVariant>();
        } catch (const char* what) {
            threw = QByteArray(what) == "error type";
        }
        QVERIFY(threw);
        using CString = const char*;
        QVERIFY_EXCEPTION_THROWN(AnyValue().as<QString>(), CString);
    }

    void viewInvalidationFillsTheRecordProperty() {
        RecordHolder before;
        QVERIFY(!before.userDao);
        UserDao record;
        Facade::instance()->registDao(&record);
        RecordHolder after;
        QCOMPARE(after.userDao, &record);
        QCOMPARE(after.property("userDao").value<UserDao*>(), &record);
        QCOMPARE(after.getDaoProperty("UserDao", "isVIP").toString(), QString("0"));
        Facade::instance()->clearDaos();
    }

    void sessionRecordStates() {
        UserDao record;
        QVERIFY(!record.hasLogin);
        QCOMPARE(record.isVIP, QString("0"));
        QCOMPARE(record.isSVIP, QString("0"));
        QVERIFY(record.userID.isEmpty() && record.token.isEmpty() && record.expireVIP.isEmpty());
        record.fillFromLogin({{"uid", 17}, {"nickname", "Ann"}, {"auth_token", "t"}});
        QVERIFY(record.hasLogin);
        QCOMPARE(record.userID, QString("17"));
        QCOMPARE(record.isVIP, QString()); // missing key gives "", not "0"
        QCOMPARE(record.toVariantMap().value("name").toString(), QString("Ann"));
        record.reset();
        QCOMPARE(record.isVIP, QString("0"));
        QVERIFY(!record.hasLogin && record.name.isEmpty());
    }
};

QTEST_GUILESS_MAIN(FrameworkTest)
#include "FrameworkTest.moc"
