#include "EventIds.h"
#include "EventRecorder.h"
#include "Facade.h"
#include "HttpHandler.h"
#include "ServiceSettings.h"
#include "UserDao.h"

#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSet>
#include <QTcpServer>
#include <QtTest>

namespace {

AnyValue map(const QVariantMap& m) {
    return AnyValue::of(QVariant(m));
}

QVariantMap with(QVariantMap m, const QVariantMap& more) {
    for (auto it = more.constBegin(); it != more.constEnd(); ++it)
        m.insert(it.key(), it.value());
    return m;
}

// Every request event of the client and its success event, written out here
// on purpose rather than taken from the client's own table.
const QMap<int, int> kSuccessOf{
    {201, 237}, {202, 239}, {203, 241}, {204, 243}, {206, 247}, {207, 249}, {208, 253},
    {209, 253}, {210, 255}, {211, 257}, {212, 259}, {213, 261}, {214, 263}, {215, 265},
    {216, 267}, {217, 269}, {218, 269}, {219, 269}, {220, 275}, {222, 279}, {223, 281},
    {224, 283}, {225, 285}, {226, 287}, {227, 289}, {228, 291}, {229, 293}, {230, 295},
    {231, 297}, {232, 299}, {233, 301}, {234, 303}, {235, 305}, {236, 307}};

} // namespace

// Every request event against the reference service, in the order a user
// would meet them.
class RoundTripTest : public QObject {
    Q_OBJECT

private:
    UserDao m_record;
    std::unique_ptr<EventRecorder> m_events;
    QSet<int> m_succeeded; // requests that got their success event
    QVariantMap m_course;  // a clip item from the list
    QVariantMap m_album;   // an album item

    // Dispatches a request and returns the first event its answer produced.
    EventRecorder::Entry request(int id, const AnyValue& value = {}) {
        m_events->clear();
        m_events->dispatchEvent(id, value);
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!m_events->events().isEmpty(), 15000); }();
        const EventRecorder::Entry first = m_events->events().value(0, {0, {}});
        if (first.id == kSuccessOf.value(id, -1))
            m_succeeded.insert(id);
        return first;
    }
    // The success event's data; fails the test on any other event.
    QVariant data(int id, const AnyValue& value, int ok) {
        const EventRecorder::Entry event = request(id, value);
        if (event.id != ok) {
            const QString why =
                event.value.holds<QString>() ? event.value.as<QString>() : QString();
            QTest::qFail(
                qPrintable(QString("request %1 gave event %2: %3").arg(id).arg(event.id).arg(why)),
                __FILE__, __LINE__);
            return QVariant();
        }
        return event.value.as<QVariant>();
    }
    QVariantMap identity() const {
        return {{"userID", m_record.userID}, {"token", m_record.token}};
    }
    static QByteArray get(const QString& path) {
        QNetworkAccessManager network;
        std::unique_ptr<QNetworkReply> reply(
            network.get(QNetworkRequest(QUrl(ServiceSettings::apiOrigin() + path))));
        QSignalSpy done(reply.get(), &QNetworkReply::finished);
        done.wait(10000);
        return reply->readAll();
    }
    static QVariantMap testData(const QString& path) {
        return QJsonDocument::fromJson(get(path)).toVariant().toMap().value("data").toMap();
    }
    void loginWithPassword(const QString& account, const QString& password) {
        const auto value = AnyValue::of(QMap<QString, QString>{{"ID", account}, {"PW", password}});
        QCOMPARE(request(Event::REQ_LOGIN_PASSWORD, value).id, int(Event::RES_LOGIN_OK));
        QCOMPARE(m_events->ids(), (QList<int>{Event::RES_LOGIN_OK, Event::CLOSE_LOGIN}));
    }

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("LINTAVO_SERVER_LOG"))
            QSKIP("needs the reference service (run through ctest)");
        Facade::instance()->registDao(&m_record);
        HttpHandler::instance();
        m_events = std::make_unique<EventRecorder>();
    }

    void homeContent() {
        QVERIFY(!data(Event::REQ_NATURES, {}, Event::RES_NATURES_OK).toList().isEmpty());
        QVERIFY(!data(Event::REQ_CATEGORIES, {}, Event::RES_CATEGORIES_OK).toList().isEmpty());
        for (int id : {int(Event::REQ_HOME_BANNER), int(Event::REQ_HOT_SEARCH)}) {
            const auto event = request(id);
            QCOMPARE(event.id, id == Event::REQ_HOME_BANNER ? int(Event::RES_HOME_BANNER_OK)
                                                            : int(Event::RES_HOT_SEARCH_OK));
            const QVariantMap body =
                QJsonDocument::fromJson(event.value.as<QString>().toUtf8()).toVariant().toMap();
            QCOMPARE(body.value("status").toInt(), 1);
        }
        const QVariantList sections = data(Event::REQ_HOME_INDEX, {}, Event::RES_HOME_INDEX_OK)
                                          .toMap()
                                          .value("list")
                                          .toList();
        QVERIFY(!sections.isEmpty());
        const QVariantMap section = sections.first().toMap();
        const auto refresh = request(Event::REQ_HOME_REFRESH,
                                     AnyValue::of(QVariantMap{{"module", section.value("module")},
                                                              {"id", section.value("id")},
                                                              {"num", 10}}));
        QCOMPARE(refresh.id, int(Event::RES_HOME_REFRESH_OK));
        QVERIFY(refresh.value.as<QString>().contains("\"status\":1"));
    }

    void listsAndDetails() {
        const QVariantList courses =
            data(Event::REQ_COURSE_LIST, map({{"userID", ""}, {"token", ""}}),
                 Event::RES_COURSE_LIST_OK)
                .toList();
        QVERIFY(!courses.isEmpty());
        m_course = courses.first().toMap();
        const QString courseId = m_course.value("id").toString();

        const QVariantMap detail = data(Event::REQ_COURSE_DETAIL, map({{"courseID", courseId}}),
                                        Event::RES_COURSE_DETAIL_OK)
                                       .toMap();
        QCOMPARE(detail.value("course_id").toString(), courseId);
        QVERIFY(!detail.value("video").toString().isEmpty());
        QVERIFY(data(Event::REQ_COURSE_RANK, map({{"id", courseId}}), Event::RES_COURSE_RANK_OK)
                    .canConvert<QVariantList>());

        const QVariantList albums =
            data(Event::REQ_ALBUM_LIST, map({{"categoryID", "0"}}), Event::RES_ALBUM_LIST_OK)
                .toList();
        QVERIFY(!albums.isEmpty());
        data(Event::REQ_ALBUM_LIST, map({{"categoryID", "vip_album"}}), Event::RES_ALBUM_LIST_OK);
        m_album = albums.first().toMap();
        const QVariantMap album{{"albumID", m_album.value("id")}};
        QCOMPARE(data(Event::REQ_ALBUM_DETAIL, map(album), Event::RES_ALBUM_DETAIL_OK)
                     .toMap()
                     .value("id"),
                 m_album.value("id"));
        QVERIFY(!data(Event::REQ_ALBUM_COURSES, map(album), Event::RES_ALBUM_COURSES_OK)
                     .toList()
                     .isEmpty());
    }

    void searchKeepsEveryKeyword() {
        const QVariantList chinese =
            data(Event::REQ_SEARCH_COURSES,
                 AnyValue::of(QVariantMap{{"keyword", QString::fromUtf8("咖啡")}}),
                 Event::RES_COURSE_LIST_OK)
                .toList();
        QVERIFY(!chinese.isEmpty());
        QVERIFY(
            chinese.first().toMap().value("title").toString().contains(QString::fromUtf8("咖啡")));
        // Accepted means the signature matched the raw keyword.
        for (const char* keyword : {"R&B 100% C#", "a+b=c"})
            QCOMPARE(request(Event::REQ_SEARCH_COURSES,
                             AnyValue::of(QVariantMap{{"keyword", QString::fromUtf8(keyword)}}))
                         .id,
                     int(Event::RES_COURSE_LIST_OK));
        QVERIFY(data(Event::REQ_SEARCH_ALBUMS,
                     AnyValue::of(QVariantMap{{"keyword", QString::fromUtf8("旅行 English")}}),
                     Event::RES_SEARCH_ALBUMS_OK)
                    .canConvert<QVariantList>());
    }

    void wordLookup() {
        const QVariantMap word =
            data(Event::REQ_WORD_LOOKUP, map({{"word", "hello"}}), Event::RES_WORD_LOOKUP_OK)
                .toMap();
        QCOMPARE(word.value("word").toString(), QString("hello"));
        QVERIFY(!word.value("meaning").toString().isEmpty());
    }

    void wrongPasswordIsRefused() {
        const auto value =
            AnyValue::of(QMap<QString, QString>{{"ID", "teacher01"}, {"PW", "nope"}});
        const auto event = request(Event::REQ_LOGIN_PASSWORD, value);
        QCOMPARE(event.id, int(Event::RES_LOGIN_FAIL));
        QVERIFY(event.value.as<QString>().contains(QString::fromUtf8("账号或密码错误")));
        QVERIFY(!m_record.hasLogin);
    }

    void teacherSession() {
        loginWithPassword("teacher01", "lintavo03");
        QVERIFY(m_record.hasLogin);
        QVERIFY(!m_record.token.isEmpty());
        QCOMPARE(m_record.name, QString::fromUtf8("王老师"));

        const QVariantList groups =
            data(Event::REQ_CLASS_GROUPS, map({{"type", "1"}}), Event::RES_CLASS_GROUPS_OK)
                .toList();
        QVERIFY(!groups.isEmpty());
        const QVariantMap task{{"cID", m_course.value("id")},
                               {"gID", groups.first().toMap().value("id")}};
        QCOMPARE(data(Event::REQ_ASSIGN_TASK, map(task), Event::RES_ASSIGN_TASK_OK)
                     .toMap()
                     .value("task_num")
                     .toInt(),
                 1);
    }

    void favourites() {
        const QString courseId = m_course.value("id").toString();
        const QVariantMap check = with(identity(), {{"courseID", courseId}, {"albumID", ""}});
        data(Event::REQ_ADD_FAVORITE, map({{"cid", courseId}, {"aid", ""}}),
             Event::RES_ADD_FAVORITE_OK);
        QCOMPARE(data(Event::REQ_CHECK_FAVORITE, map(check), Event::RES_CHECK_FAVORITE_OK)
                     .toMap()
                     .value("is_collect")
                     .toInt(),
                 1);
        const QVariantList mine =
            data(Event::REQ_MY_COURSE_FAVORITES, AnyValue::of(QVariantMap{{"cid", ""}}),
                 Event::RES_MY_COURSE_FAVORITES_OK)
                .toList();
        QCOMPARE(mine.size(), 1);
        QCOMPARE(mine.first().toMap().value("id").toString(), courseId);

        data(Event::REQ_ADD_FAVORITE, map({{"cid", ""}, {"aid", m_album.value("id")}}),
             Event::RES_ADD_FAVORITE_OK);
        QCOMPARE(data(Event::REQ_MY_ALBUM_FAVORITES, AnyValue::of(QVariantMap{}),
                      Event::RES_MY_ALBUM_FAVORITES_OK)
                     .toList()
                     .size(),
                 1);

        data(Event::REQ_REMOVE_FAVORITE, map(check), Event::RES_REMOVE_FAVORITE_OK);
        QCOMPARE(data(Event::REQ_CHECK_FAVORITE, map(check), Event::RES_CHECK_FAVORITE_OK)
                     .toMap()
                     .value("is_collect")
                     .toInt(),
                 0);
    }

    void membership() {
        const QVariantMap plans = data(Event::REQ_VIP_PLANS, {}, Event::RES_VIP_PLANS_OK).toMap();
        const QVariantList packages = plans.value("package_list").toList();
        QVERIFY(!packages.isEmpty());
        const QVariantMap plan = packages.first().toMap();
        const QVariantMap order{{"amount", plan.value("amount")},
                                {"pid", plan.value("id")},
                                {"days", plan.value("days")},
                                {"type", "3"},
                                {"gateway", "scan"}};
        QVERIFY(!data(Event::REQ_VIP_ORDER, map(order), Event::RES_VIP_ORDER_OK)
                     .toMap()
                     .value("order_no")
                     .toString()
                     .isEmpty());
    }

    void publishAfterUpload() {
        const QString key =
            QStringLiteral("roundtrip%1.aac").arg(QDateTime::currentSecsSinceEpoch());
        // The service stores only audio of the kind the key names, as the client makes it.
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                                "sine=frequency=440:duration=1", "-codec:a", "aac", "take.aac"});
        QVERIFY(ffmpeg.waitForFinished(30000) && ffmpeg.exitCode() == 0);
        QFile take("take.aac");
        QVERIFY(take.open(QIODevice::ReadOnly));
        QNetworkAccessManager network;
        QNetworkRequest put(QUrl(ServiceSettings::apiOrigin() + "/storage/" + key));
        put.setRawHeader("X-Upload-Token", m_record.tokenUpload.toUtf8());
        std::unique_ptr<QNetworkReply> reply(network.put(put, take.readAll()));
        QSignalSpy done(reply.get(), &QNetworkReply::finished);
        QVERIFY(done.wait(10000));
        QVERIFY2(reply->readAll().contains("\"status\":1"), "upload refused");

        const QVariantMap show = with(identity(), {{"courseID", m_course.value("id")},
                                                   {"audio", QString("{\"key\":\"%1\"}").arg(key)},
                                                   {"score", "80,75,90,85,0"},
                                                   {"duration", "60"}});
        const QString showId = data(Event::REQ_PUBLISH_SHOW, map(show), Event::RES_PUBLISH_SHOW_OK)
                                   .toMap()
                                   .value("show_id")
                                   .toString();
        QVERIFY(!showId.isEmpty());
        QVERIFY(data(Event::REQ_SHOW_DETAIL, map({{"uid", m_record.userID}, {"showID", showId}}),
                     Event::RES_SHOW_DETAIL_OK)
                    .isValid());
        const QVariantList rank = data(Event::REQ_COURSE_RANK, map({{"id", m_course.value("id")}}),
                                       Event::RES_COURSE_RANK_OK)
                                      .toList();
        QVERIFY(!rank.isEmpty());
    }

    void logout() { QVERIFY(data(Event::REQ_LOGOUT, {}, Event::RES_LOGOUT_OK).isValid()); }

    void smsCodeLogin() {
        m_record.reset();
        const QString mobile = QStringLiteral("13900000042");
        data(Event::REQ_SMS_CODE, map({{"mobile", mobile}}), Event::RES_SMS_CODE_OK);
        const QString code = testData("/test/sms_code?mobile=" + mobile).value("code").toString();
        QCOMPARE(code.size(), 4);
        const auto event = request(Event::REQ_LOGIN_CODE,
                                   map({{"mobile", mobile}, {"code", code}, {"device", "dev-1"}}));
        QCOMPARE(event.id, int(Event::RES_LOGIN_OK));
        QCOMPARE(m_record.phone, mobile);
    }

    void wechatLogin() {
        m_record.reset();
        const QString appId = ServiceSettings::wechatAppId();
        const QString codeId =
            data(Event::REQ_WECHAT_QR_INFO, map({{"appID", appId}}), Event::RES_WECHAT_QR_INFO_OK)
                .toMap()
                .value("code_id")
                .toString();
        QVERIFY(!codeId.isEmpty());
        // Not scanned yet: no code.
        QCOMPARE(request(Event::REQ_WECHAT_CODE, map({{"codeID", codeId}})).id,
                 int(Event::RES_WECHAT_CODE_FAIL));

        get("/test/wechat_confirm?code_id=" + codeId + "&nickname=Round");
        const auto polled = request(Event::REQ_WECHAT_CODE, map({{"codeID", codeId}}));
        QCOMPARE(polled.id, int(Event::RES_WECHAT_CODE_OK));
        const QString code =
            polled.value.as<QVariantMap>().value("data").toMap().value("code").toString();
        QVERIFY(!code.isEmpty());

        const QVariantMap user =
            data(Event::REQ_WECHAT_USER_INFO, map({{"appID", appId}, {"code", code}}),
                 Event::RES_WECHAT_USER_INFO_OK)
                .toMap();
        QVERIFY(!user.value("openid").toString().isEmpty());
        // The login window's user-info address carries the access token the link needs.
        const QString authUrl =
            ServiceSettings::apiOrigin() +
            "/sns/userinfo?lintavo=1&access_token=" + user.value("access_token").toString() +
            "&openid=" + user.value("openid").toString();
        const QVariantMap login{{"nickname", user.value("nickname")},
                                {"sex", user.value("sex")},
                                {"avatar", user.value("avatar")},
                                {"auth_url", authUrl},
                                {"openid", user.value("openid")}};
        QCOMPARE(request(Event::REQ_LOGIN_WECHAT, map(login)).id, int(Event::RES_LOGIN_OK));
        QCOMPARE(m_record.name, QString("Round"));
    }

    // A service that cannot be reached fails every request: a login with the
    // transport's words, a page's request with the plain sentence.
    void stoppedServiceFailsEveryRequest() {
        QTcpServer probe; // a port that nobody listens on any more
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const QByteArray closed = "http://127.0.0.1:" + QByteArray::number(probe.serverPort());
        probe.close();
        const QByteArray live = qgetenv("LINTAVO_API_ORIGIN");
        qputenv("LINTAVO_API_ORIGIN", closed);

        const auto login = AnyValue::of(QMap<QString, QString>{{"ID", "teacher01"}, {"PW", "x"}});
        const auto event = request(Event::REQ_LOGIN_PASSWORD, login);
        QCOMPARE(event.id, int(Event::RES_LOGIN_FAIL));
        QVERIFY(!event.value.as<QString>().isEmpty());

        const auto list = request(Event::REQ_COURSE_LIST, map({}));
        QCOMPARE(list.id, int(Event::RES_COURSE_LIST_FAIL));
        QCOMPARE(list.value.as<QString>(), QString("网络连接失败，请检查网络后重试"));
        qputenv("LINTAVO_API_ORIGIN", live);
    }

    void everyRequestWasExercised() {
        QStringList missing;
        for (int id : kSuccessOf.keys())
            if (!m_succeeded.contains(id))
                missing << QString::number(id);
        QVERIFY2(missing.isEmpty(), qPrintable("no success event for " + missing.join(", ")));
    }
};

QTEST_GUILESS_MAIN(RoundTripTest)
#include "RoundTripTest.moc"
