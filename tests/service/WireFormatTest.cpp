#include "EventIds.h"
#include "EventRecorder.h"
#include "Facade.h"
#include "HttpHandler.h"
#include "Mediator.h"
#include "ScriptedApi.h"
#include "ServiceSettings.h"
#include "UserDao.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QSysInfo>
#include <QTcpSocket>
#include <QtTest>

namespace {

// How a success event carries its answer.
enum class Kind { Data, Body, Login, Code };

// One request as it must leave the client. In `target`, `body` and `signedText`
// {ts} is the request's timestamp, {sig} its signature, {key} the signing key
// and {dev} the machine id.
struct Row {
    const char* name;
    int event;
    AnyValue value;
    const char* target;     // path and query as received
    const char* body;       // nullptr for a GET
    const char* signedText; // nullptr for an unsigned request
    int ok;
    int fail;
    Kind kind = Kind::Data;
    bool dictionary = false;
};

AnyValue map(const QVariantMap& m) {
    return AnyValue::of(QVariant(m));
}
AnyValue qmap(const QVariantMap& m) {
    return AnyValue::of(m);
}

const QVariantMap identity{{"userID", "v5"}, {"token", "vt5"}};
QVariantMap with(QVariantMap m, const QVariantMap& more) {
    for (auto it = more.constBegin(); it != more.constEnd(); ++it)
        m.insert(it.key(), it.value());
    return m;
}

const QVariantMap courseFilter{{"sort", "hot"},         {"natureID", "n1"},  {"role", "2"},
                               {"pronunciation", "us"}, {"speed", "1"},      {"difficulty", "3"},
                               {"subtitle", "10"},      {"categoryID", "c4"}};
// Both favourite requests get the same value: each must pick its own keys.
const QVariantMap favourite{{"cid", "c9"},    {"aid", "a2"},      {"userID", "v5"},
                            {"token", "vt5"}, {"courseID", "x1"}, {"albumID", "y1"}};

QVector<Row> rows() {
    using namespace Event;
    QVariantMap noSort = with(identity, courseFilter);
    noSort.remove("sort");
    return {
        {"natures",
         REQ_NATURES,
         {},
         "/basic/nature?uid=0&auth_token=&timestamp={ts}&sign={sig}",
         nullptr,
         "auth_tokensecurity_key{key}timestamp{ts}uid0",
         RES_NATURES_OK,
         RES_NATURES_FAIL},
        {"banner",
         REQ_HOME_BANNER,
         {},
         "/advert/lists?uid=0&auth_token=&&timesamp={ts}&type=windows_index_banner&sign={sig}",
         nullptr,
         "auth_tokensecurity_key{key}timestamp{ts}typewindows_index_banneruid0",
         RES_HOME_BANNER_OK,
         RES_HOME_BANNER_FAIL,
         Kind::Body},
        {"hot search",
         REQ_HOT_SEARCH,
         {},
         "/search/newHotSearch?uid=0&auth_token=&timestamp={ts}&sign={sig}",
         nullptr,
         "auth_tokensecurity_key{key}timestamp{ts}uid0",
         RES_HOT_SEARCH_OK,
         RES_HOT_SEARCH_FAIL,
         Kind::Body},
        {"home index",
         REQ_HOME_INDEX,
         {},
         "/windows/home/index?uid=0&auth_token=&timestamp={ts}&sign={sig}",
         nullptr,
         "auth_tokensecurity_key{key}timestamp{ts}uid0",
         RES_HOME_INDEX_OK,
         RES_HOME_INDEX_FAIL},
        {"home refresh", REQ_HOME_REFRESH, qmap({{"module", "m3"}, {"id", "17"}, {"num", 6}}),
         "/windows/home/refresh?uid=&auth_token=&timesamp={ts}&module=m3&id=17&num=6&sign={sig}",
         nullptr, "auth_tokenid17modulem3num6security_key{key}timestamp{ts}uid",
         RES_HOME_REFRESH_OK, RES_HOME_REFRESH_FAIL, Kind::Body},
        {"categories",
         REQ_CATEGORIES,
         {},
         "/basic/cates?uid=&auth_token=&timesamp={ts}&category_id=0&type=course&sign={sig}",
         nullptr,
         "auth_tokencategory_id0security_key{key}timestamp{ts}typecourseuid",
         RES_CATEGORIES_OK,
         RES_CATEGORIES_FAIL},
        {"course list", REQ_COURSE_LIST, map(with(identity, courseFilter)),
         "/course/get_course_list?uid=v5&auth_token=vt5&timestamp={ts}&start=0&rows=50&sort=hot"
         "&nature_id=n1&role=2&pronunciation=us&speed=1&difficulty=3&subtitle_num=10"
         "&category_id=c4&sign={sig}",
         nullptr,
         "auth_tokenvt5category_idc4difficulty3nature_idn1pronunciationusrole2rows50"
         "security_key{key}sorthotspeed1start0subtitle_num10timestamp{ts}uidv5",
         RES_COURSE_LIST_OK, RES_COURSE_LIST_FAIL},
        {"course list without sort", REQ_COURSE_LIST, map(noSort),
         "/course/get_course_list?uid=v5&auth_token=vt5&timestamp={ts}&start=0&rows=50&sort="
         "&nature_id=n1&role=2&pronunciation=us&speed=1&difficulty=3&subtitle_num=10"
         "&category_id=c4&sign={sig}",
         nullptr,
         "auth_tokenvt5category_idc4difficulty3nature_idn1pronunciationusrole2rows50"
         "security_key{key}sortspeed1start0subtitle_num10timestamp{ts}uidv5",
         RES_COURSE_LIST_OK, RES_COURSE_LIST_FAIL},
        {"course list, next page", REQ_COURSE_LIST, map(with(noSort, {{"start", "50"}})),
         "/course/get_course_list?uid=v5&auth_token=vt5&timestamp={ts}&start=50&rows=50&sort="
         "&nature_id=n1&role=2&pronunciation=us&speed=1&difficulty=3&subtitle_num=10"
         "&category_id=c4&sign={sig}",
         nullptr,
         "auth_tokenvt5category_idc4difficulty3nature_idn1pronunciationusrole2rows50"
         "security_key{key}sortspeed1start50subtitle_num10timestamp{ts}uidv5",
         RES_COURSE_LIST_OK, RES_COURSE_LIST_FAIL},
        {"album list, next page", REQ_ALBUM_LIST,
         map({{"categoryID", "vip_album"}, {"start", "100"}}),
         "/album/get_album_list?uid=0&timestamp={ts}&category_id=vip_album&start=100&rows=50"
         "&sign={sig}",
         nullptr, "category_idvip_albumrows50security_key{key}start100timestamp{ts}uid0",
         RES_ALBUM_LIST_OK, RES_ALBUM_LIST_FAIL},
        {"search courses", REQ_SEARCH_COURSES, qmap({{"keyword", "hello"}}),
         "/search/new_course_album?uid=&auth_token=&timestamp={ts}&keyword=hello&start=0&rows=50"
         "&sign={sig}",
         nullptr, "auth_tokenkeywordhellorows50security_key{key}start0timestamp{ts}uid",
         RES_COURSE_LIST_OK, RES_SEARCH_COURSES_FAIL},
        {"search with query characters", REQ_SEARCH_COURSES, qmap({{"keyword", "R&B 100% C#+x=y"}}),
         "/search/new_course_album?uid=&auth_token=&timestamp={ts}"
         "&keyword=R%26B%20100%25%20C%23%2Bx%3Dy&start=0&rows=50&sign={sig}",
         nullptr, "auth_tokenkeywordR&B 100% C#+x=yrows50security_key{key}start0timestamp{ts}uid",
         RES_COURSE_LIST_OK, RES_SEARCH_COURSES_FAIL},
        {"search in Chinese", REQ_SEARCH_ALBUMS,
         qmap({{"keyword", QString::fromUtf8("你好 world")}}),
         "/search/album_list?uid=&auth_token=&timestamp={ts}"
         "&keyword=%E4%BD%A0%E5%A5%BD%20world&start=0&rows=50&sign={sig}",
         nullptr, "auth_tokenkeyword你好 worldrows50security_key{key}start0timestamp{ts}uid",
         RES_SEARCH_ALBUMS_OK, RES_SEARCH_ALBUMS_FAIL},
        {"course rank", REQ_COURSE_RANK, map({{"id", "c9"}}),
         "/StudyShow/course_show?uid=&auth_token=&timestamp={ts}&course_id=c9&show_student=0"
         "&start=0&rows=20&sign={sig}",
         nullptr, "auth_tokencourse_idc9rows20security_key{key}show_student0start0timestamp{ts}uid",
         RES_COURSE_RANK_OK, RES_COURSE_RANK_FAIL},
        {"course detail", REQ_COURSE_DETAIL, map({{"courseID", "c9"}}),
         "/course/detail_new?uid=&auth_token=&timestamp={ts}&course_id=c9&album_id=&sign={sig}",
         nullptr, "album_idauth_tokencourse_idc9security_key{key}timestamp{ts}uid",
         RES_COURSE_DETAIL_OK, RES_COURSE_DETAIL_FAIL},
        {"show detail", REQ_SHOW_DETAIL, map({{"uid", "u55"}, {"showID", "s3"}}),
         "/show/detail?uid=u55&auth_token=&timestamp={ts}&show_id=s3&sign={sig}", nullptr,
         "auth_tokensecurity_key{key}show_ids3timestamp{ts}uidu55", RES_SHOW_DETAIL_OK,
         RES_SHOW_DETAIL_FAIL},
        {"album list", REQ_ALBUM_LIST, map({{"categoryID", "vip_album"}}),
         "/album/get_album_list?uid=0&timestamp={ts}&category_id=vip_album&start=0&rows=50"
         "&sign={sig}",
         nullptr, "category_idvip_albumrows50security_key{key}start0timestamp{ts}uid0",
         RES_ALBUM_LIST_OK, RES_ALBUM_LIST_FAIL},
        {"album detail", REQ_ALBUM_DETAIL, map({{"albumID", "a2"}}),
         "/album/detail?uid=&auth_token=&timestamp={ts}&album_id=a2&is_from_share=0&sign={sig}",
         nullptr, "album_ida2auth_tokenis_from_share0security_key{key}timestamp{ts}uid",
         RES_ALBUM_DETAIL_OK, RES_ALBUM_DETAIL_FAIL},
        {"album courses", REQ_ALBUM_COURSES, map({{"albumID", "a2"}}),
         "/album/course_list?uid=&auth_token=&timestamp={ts}&album_id=a2&start=0&rows=50"
         "&sign={sig}",
         nullptr, "album_ida2auth_tokenrows50security_key{key}start0timestamp{ts}uid",
         RES_ALBUM_COURSES_OK, RES_ALBUM_COURSES_FAIL},
        {"password login", REQ_LOGIN_PASSWORD,
         AnyValue::of(QMap<QString, QString>{{"ID", "13800000000"}, {"PW", "pw1"}}), "/user/login",
         R"({"devicetoken":"{dev}","mobile":"13800000000","password":"pw1","sign":"{sig}",)"
         R"("timestamp":"{ts}"})",
         "devicetoken{dev}mobile13800000000passwordpw1security_key{key}timestamp{ts}", RES_LOGIN_OK,
         RES_LOGIN_FAIL, Kind::Login},
        {"code login", REQ_LOGIN_CODE,
         map({{"mobile", "139"}, {"code", "4321"}, {"device", "d-x"}}), "/user/codeLogin",
         R"({"code":"4321","devicetoken":"d-x","mobile":"139","sign":"{sig}","timestamp":"{ts}"})",
         "code4321devicetokend-xmobile139security_key{key}timestamp{ts}", RES_LOGIN_OK,
         RES_LOGIN_FAIL, Kind::Login},
        {"wechat login", REQ_LOGIN_WECHAT,
         map({{"nickname", "Ann"},
              {"sex", "1"},
              {"avatar", "http://a/p.png"},
              {"auth_url", "http://auth"},
              {"openid", "oid9"}}),
         "/user/third_login",
         R"({"auth_token":"","auth_url":"http://auth","avatar":"http://a/p.png",)"
         R"("device_info":"{dev}","devicetoken":"{dev}","nickname":"Ann","sex":"1",)"
         R"("signature":"{sig}","timestamp":"{ts}","token":"oid9","type":"3","uid":""})",
         "auth_tokenauth_urlhttp://authavatarhttp://a/p.pngdevice_info{dev}devicetoken{dev}"
         "nicknameAnnsecurity_key{key}sex1timestamp{ts}tokenoid9type3uid",
         RES_LOGIN_OK, RES_LOGIN_FAIL, Kind::Login},
        {"logout",
         REQ_LOGOUT,
         {},
         "/user/logout",
         R"({"auth_token":"rt7","sign":"{sig}","timestamp":"{ts}","uid":"u7"})",
         "auth_tokenrt7security_key{key}timestamp{ts}uidu7",
         RES_LOGOUT_OK,
         RES_LOGOUT_FAIL},
        {"sms code", REQ_SMS_CODE, map({{"mobile", "13900000000"}}),
         "/user/mobile_code?mobile=13900000000&uid=0&old_mobile=&isreset=0&type=5&c_type=0",
         nullptr, nullptr, RES_SMS_CODE_OK, RES_SMS_CODE_FAIL},
        {"wechat qr info", REQ_WECHAT_QR_INFO, map({{"appID", "wxapp"}}),
         "/weixin/getLoginQrcodeInfo?uid=&auth_token=&timestamp={ts}&app_id=wxapp&sign={sig}",
         nullptr, "app_idwxappauth_tokensecurity_key{key}timestamp{ts}uid", RES_WECHAT_QR_INFO_OK,
         RES_WECHAT_QR_INFO_FAIL},
        {"wechat code", REQ_WECHAT_CODE, map({{"codeID", "k1"}}),
         "/weixin/getCode?uid=&auth_token=&timestamp={ts}&code_id=k1&sign={sig}", nullptr,
         "auth_tokencode_idk1security_key{key}timestamp{ts}uid", RES_WECHAT_CODE_OK,
         RES_WECHAT_CODE_FAIL, Kind::Code},
        {"wechat user info", REQ_WECHAT_USER_INFO, map({{"appID", "wxapp"}, {"code", "cd"}}),
         "/weixin/weixinUserInfo?uid=&auth_token=&timestamp={ts}&app_id=wxapp&code=cd&sign={sig}",
         nullptr, "app_idwxappauth_tokencodecdsecurity_key{key}timestamp{ts}uid",
         RES_WECHAT_USER_INFO_OK, RES_WECHAT_USER_INFO_FAIL},
        {"my course favourites", REQ_MY_COURSE_FAVORITES, qmap({{"cid", "c4"}}),
         "/course/myCollect?uid=u7&auth_token=rt7&timestamp={ts}&category_id=c4&keyword=&start=0"
         "&rows=50&sign={sig}",
         nullptr,
         "auth_tokenrt7category_idc4keywordrows50security_key{key}start0timestamp{ts}uidu7",
         RES_MY_COURSE_FAVORITES_OK, RES_MY_COURSE_FAVORITES_FAIL},
        {"my album favourites", REQ_MY_ALBUM_FAVORITES, qmap({}),
         "/album/myCollect?uid=u7&auth_token=rt7&timestamp={ts}&keyword=&start=0&rows=50"
         "&sign={sig}",
         nullptr, "auth_tokenrt7keywordrows50security_key{key}start0timestamp{ts}uidu7",
         RES_MY_ALBUM_FAVORITES_OK, RES_MY_ALBUM_FAVORITES_FAIL},
        {"check favourite", REQ_CHECK_FAVORITE,
         map(with(identity, {{"courseID", "c9"}, {"albumID", "a2"}})),
         "/course/check_collect?uid=v5&auth_token=vt5&timestamp={ts}&course_id=c9&album_id=a2"
         "&sign={sig}",
         nullptr, "album_ida2auth_tokenvt5course_idc9security_key{key}timestamp{ts}uidv5",
         RES_CHECK_FAVORITE_OK, RES_CHECK_FAVORITE_FAIL},
        {"add favourite", REQ_ADD_FAVORITE, map(favourite), "/course/collect?",
         R"({"album_id":"a2","auth_token":"rt7","category_ids":0,"course_id":"c9","sign":"{sig}",)"
         R"("timestamp":"{ts}","uid":"u7"})",
         "album_ida2auth_tokenrt7category_ids0course_idc9security_key{key}timestamp{ts}uidu7",
         RES_ADD_FAVORITE_OK, RES_ADD_FAVORITE_FAIL},
        {"remove favourite", REQ_REMOVE_FAVORITE, map(favourite), "/course/delete_collect",
         R"({"album_id":"y1","auth_token":"vt5","course_id":"x1","sign":"{sig}",)"
         R"("timestamp":"{ts}","uid":"v5"})",
         "album_idy1auth_tokenvt5course_idx1security_key{key}timestamp{ts}uidv5",
         RES_REMOVE_FAVORITE_OK, RES_REMOVE_FAVORITE_FAIL},
        {"class groups", REQ_CLASS_GROUPS, map({{"type", "1"}}),
         "/class/group/chat_group?uid=u7&auth_token=rt7&timestamp={ts}&type=1&sign={sig}", nullptr,
         "auth_tokenrt7security_key{key}timestamp{ts}type1uidu7", RES_CLASS_GROUPS_OK,
         RES_CLASS_GROUPS_FAIL},
        {"assign task", REQ_ASSIGN_TASK, map({{"cID", "c9"}, {"gID", "g3"}}),
         "/class/group/add_task",
         R"({"auth_token":"rt7","course_list":"c9","group_id":"g3","sign":"{sig}",)"
         R"("timestamp":"{ts}","uid":"u7"})",
         "auth_tokenrt7course_listc9group_idg3security_key{key}timestamp{ts}uidu7",
         RES_ASSIGN_TASK_OK, RES_ASSIGN_TASK_FAIL},
        {"vip plans",
         REQ_VIP_PLANS,
         {},
         "/funds/vip_list",
         R"({"auth_token":"rt7","sign":"{sig}","svip":1,"timestamp":"{ts}","uid":"u7"})",
         "auth_tokenrt7security_key{key}svip1timestamp{ts}uidu7",
         RES_VIP_PLANS_OK,
         RES_VIP_PLANS_FAIL},
        {"vip order", REQ_VIP_ORDER,
         map({{"amount", 30}, {"pid", "p1"}, {"days", "30"}, {"type", "1"}, {"gateway", "wx"}}),
         "/funds/vipMember",
         R"({"amount":"30","auth_token":"rt7","days":"30","gateway":"wx","pid":"p1",)"
         R"("sign":"{sig}","timestamp":"{ts}","type":"1","uid":"u7"})",
         "amount30auth_tokenrt7days30gatewaywxpidp1security_key{key}timestamp{ts}type1uidu7",
         RES_VIP_ORDER_OK, RES_VIP_ORDER_FAIL},
        {"publish", REQ_PUBLISH_SHOW,
         map(with(identity, {{"courseID", "c9"},
                             {"audio", "k.aac"},
                             {"score", "88"},
                             {"duration", "12"},
                             {"album_id", "7"},
                             {"albumID", "7"},
                             {"dubbing_type", "2"}})),
         "/show/add",
         R"({"album_id":"0","audio":"k.aac","auth_token":"vt5","course_id":"c9",)"
         R"("dub_duration":"12","dubbing_type":"0","score":"88","sign":"{sig}",)"
         R"("timestamp":"{ts}","uid":"v5"})",
         "album_id0audiok.aacauth_tokenvt5course_idc9dub_duration12dubbing_type0score88"
         "security_key{key}timestamp{ts}uidv5",
         RES_PUBLISH_SHOW_OK, RES_PUBLISH_SHOW_FAIL},
        {"word lookup", REQ_WORD_LOOKUP, map({{"word", "apple"}}), "/words/api?word=apple", nullptr,
         nullptr, RES_WORD_LOOKUP_OK, RES_WORD_LOOKUP_FAIL, Kind::Data, true},
    };
}

// The type of what a wrong event value throws.
using CString = const char*;

const QByteArray kSuccess = R"({"status":1,"data":{"code":"abc","n":2},"msg":"ok"})";
const QByteArray kFailure = R"({"status":0,"msg":"nope"})";

} // namespace

// What leaves the client for every request event, and how answers become
// result events; a local listener stands in for the service.
class WireFormatTest : public QObject {
    Q_OBJECT

private:
    UserDao m_record;
    ScriptedApi m_api;
    ScriptedApi m_dictionary;
    std::unique_ptr<EventRecorder> m_events;

    void send(int id, const AnyValue& value = {}) { m_events->dispatchEvent(id, value); }
    void prepare(const QByteArray& answer) {
        m_record.reset();
        m_record.userID = "u7";
        m_record.token = "rt7";
        m_api.clear();
        m_dictionary.clear();
        m_api.setAnswer(answer);
        m_dictionary.setAnswer(answer);
        m_events->clear();
    }
    // Sends a request and returns the one event its answer produced.
    EventRecorder::Entry answerFor(int id, const QByteArray& answer, const AnyValue& value) {
        prepare(answer);
        send(id, value);
        [&] { QTRY_VERIFY(!m_events->events().isEmpty()); }();
        return m_events->events().value(0, {0, {}});
    }

    static QString fill(QString text, const QString& ts, const QString& sig) {
        return text.replace("{ts}", ts)
            .replace("{sig}", sig)
            .replace("{key}", ServiceSettings::signingKey())
            .replace("{dev}", QString::fromUtf8(QSysInfo::machineUniqueId()));
    }
    static QString timestampOf(const HttpPeer::Request& request) {
        static const QRegularExpression pattern(R"(times(?:t)?amp(?:=|":")(\d+))");
        return pattern.match(QString::fromUtf8(request.target + request.body)).captured(1);
    }
    static void checkHeaders(const HttpPeer::Request& request) {
        const QByteArray device = QSysInfo::machineUniqueId();
        const QMap<QByteArray, QByteArray> expected{
            {"user-agent", "windows"},  {"device-type", "4"},     {"ltuser-agent", "windows"},
            {"app-name", "LINTAVO"},    {"app-version", "1.0.0"}, {"device-model", "windows 10"},
            {"idfa", device},           {"distinct-id", device},  {"e-device-id", device},
            {"client-os", "windows 10"}};
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
            QCOMPARE(request.headers.value(it.key()), it.value());
    }
    static void checkSuccess(const Row& row, const QList<EventRecorder::Entry>& events) {
        QVERIFY(!events.isEmpty());
        QCOMPARE(events[0].id, row.ok);
        const AnyValue& value = events[0].value;
        switch (row.kind) {
        case Kind::Data:
            QCOMPARE(events.size(), 1);
            QCOMPARE(value.as<QVariant>().toMap().value("code").toString(), QString("abc"));
            break;
        case Kind::Body:
            QCOMPARE(events.size(), 1);
            QCOMPARE(value.as<QString>(), QString::fromUtf8(kSuccess));
            break;
        case Kind::Code:
            QCOMPARE(events.size(), 1);
            QCOMPARE(value.as<QVariantMap>().value("msg").toString(), QString("ok"));
            break;
        case Kind::Login:
            QCOMPARE(events.size(), 2);
            QCOMPARE(value.as<QString>(), QString::fromUtf8(kSuccess));
            QCOMPARE(events[1].id, int(Event::CLOSE_LOGIN));
            QCOMPARE(events[1].value.as<QString>(), QString::fromUtf8(kSuccess));
            break;
        }
    }

private slots:
    void initTestCase() {
        QVERIFY(m_api.isListening());
        QVERIFY(m_dictionary.isListening());
        qputenv("LINTAVO_API_ORIGIN", m_api.origin().toUtf8());
        qputenv("LINTAVO_DICT_ORIGIN", m_dictionary.origin().toUtf8());
        Facade::instance()->registDao(&m_record);
        HttpHandler::instance();
        m_events = std::make_unique<EventRecorder>();
    }

    void requestGoesOutAsWritten_data() {
        QTest::addColumn<int>("row");
        const QVector<Row> all = rows();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all[i].name) << i;
    }

    void requestGoesOutAsWritten() {
        QFETCH(int, row);
        const Row r = rows().at(row);
        prepare(kSuccess);
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        send(r.event, r.value);
        ScriptedApi& server = r.dictionary ? m_dictionary : m_api;
        QTRY_COMPARE(server.requests().size(), 1);
        const HttpPeer::Request request = server.requests().first();

        const QString ts = timestampOf(request);
        if (r.signedText) {
            QVERIFY(ts.toLongLong() >= before);
            QVERIFY(ts.toLongLong() <= QDateTime::currentSecsSinceEpoch());
        }
        const QString sig =
            r.signedText
                ? QString::fromLatin1(QCryptographicHash::hash(fill(r.signedText, ts, "").toUtf8(),
                                                               QCryptographicHash::Md5)
                                          .toHex())
                : QString();
        QCOMPARE(request.method, QByteArray(r.body ? "POST" : "GET"));
        QCOMPARE(QString::fromUtf8(request.target), fill(r.target, ts, sig));
        QCOMPARE(QString::fromUtf8(request.body), r.body ? fill(r.body, ts, sig) : QString());
        if (r.body)
            QCOMPARE(request.headers.value("content-type"), QByteArray("application/json"));
        checkHeaders(request);

        QTRY_VERIFY(!m_events->events().isEmpty());
        checkSuccess(r, m_events->events());
        QCOMPARE(answerFor(r.event, kFailure, r.value).id, r.fail);
        QCOMPARE(m_events->events().size(), 1);
        QCOMPARE(m_events->events()[0].value.as<QString>(), QString("nope"));
    }

    void statusDecidesSuccess() {
        const AnyValue album = AnyValue::of(QVariant(QVariantMap{{"albumID", "a2"}}));
        auto textStatus =
            answerFor(Event::REQ_ALBUM_DETAIL, R"({"status":"1","data":[1,2]})", album);
        QCOMPARE(textStatus.id, int(Event::RES_ALBUM_DETAIL_OK));
        QCOMPARE(textStatus.value.as<QVariant>().toList().size(), 2);

        auto noData = answerFor(Event::REQ_ALBUM_DETAIL, R"({"status":1})", album);
        QCOMPARE(noData.id, int(Event::RES_ALBUM_DETAIL_OK));
        QVERIFY(!noData.value.as<QVariant>().isValid());

        for (const QByteArray& failing :
             {QByteArray(R"({"status":200,"msg":"m"})"), QByteArray(R"({"status":-1,"msg":"m"})"),
              QByteArray(R"({"status":"ok","msg":"m"})")}) {
            auto failed = answerFor(Event::REQ_ALBUM_DETAIL, failing, album);
            QCOMPARE(failed.id, int(Event::RES_ALBUM_DETAIL_FAIL));
            QCOMPARE(failed.value.as<QString>(), QString("m"));
        }

        auto html =
            answerFor(Event::REQ_HOME_BANNER, "<html><body>502 Bad Gateway</body></html>", {});
        QCOMPARE(html.id, int(Event::RES_HOME_BANNER_FAIL));
        QCOMPARE(html.value.as<QString>(), QString());
    }

    void wechatCodeNeedsACode() {
        const AnyValue value = AnyValue::of(QVariant(QVariantMap{{"codeID", "k1"}}));
        for (const QByteArray& answer : {QByteArray(R"({"status":1,"data":{"code":""},"msg":"w"})"),
                                         QByteArray(R"({"status":1,"data":{},"msg":"w"})")}) {
            auto event = answerFor(Event::REQ_WECHAT_CODE, answer, value);
            QCOMPARE(event.id, int(Event::RES_WECHAT_CODE_FAIL));
            QCOMPARE(event.value.as<QString>(), QString("w"));
        }
    }

    void loginFillsTheRecordBeforeAnnouncing() {
        // Seen from a receiver of RES_LOGIN_OK, the record is already filled.
        struct Watcher : Mediator {
            UserDao* record = nullptr;
            QString uidSeen;
            void onEvent(int id, const AnyValue&) override {
                if (id == Event::RES_LOGIN_OK)
                    uidSeen = record->userID;
            }
        } watcher;
        watcher.record = &m_record;
        const QByteArray answer =
            R"({"status":1,"data":{"uid":123,"nickname":"Ann","avatar":"a.png","mobile":"139",)"
            R"("auth_token":"T","upload_token":"U","is_svip":0,"vip_endtime":"2030",)"
            R"("svip_endtime":"","img_url":"i.png"}})";
        const AnyValue value = AnyValue::of(QMap<QString, QString>{{"ID", "139"}, {"PW", "x"}});
        QCOMPARE(answerFor(Event::REQ_LOGIN_PASSWORD, answer, value).id, int(Event::RES_LOGIN_OK));
        QCOMPARE(m_events->ids(), (QList<int>{Event::RES_LOGIN_OK, Event::CLOSE_LOGIN}));
        QCOMPARE(watcher.uidSeen, QString("123"));
        QVERIFY(m_record.hasLogin);
        QCOMPARE(m_record.name, QString("Ann"));
        QCOMPARE(m_record.token, QString("T"));
        QCOMPARE(m_record.tokenUpload, QString("U"));
        QCOMPARE(m_record.isVIP, QString()); // missing, not "0"
        QCOMPARE(m_record.isSVIP, QString("0"));
        QCOMPARE(m_record.imgUrl, QString("i.png"));
    }

    void failedLoginLeavesTheRecord() {
        const AnyValue value =
            AnyValue::of(QVariant(QVariantMap{{"mobile", "139"}, {"code", "1"}}));
        auto event = answerFor(Event::REQ_LOGIN_CODE, R"({"status":0,"msg":"bad code"})", value);
        QCOMPARE(event.id, int(Event::RES_LOGIN_FAIL));
        QCOMPARE(event.value.as<QString>(), QString("bad code"));
        QVERIFY(!m_record.hasLogin);
        QCOMPARE(m_record.userID, QString("u7"));
    }

    // No answer at all fails like a refusal, so that no page waits for ever:
    // a login shows the transport's words, a page the plain sentence.
    void transportFailureReachesEveryRequest() {
        m_api.setDropping(true);
        const AnyValue login = AnyValue::of(QMap<QString, QString>{{"ID", "1"}, {"PW", "2"}});
        auto event = answerFor(Event::REQ_LOGIN_PASSWORD, {}, login);
        QCOMPARE(event.id, int(Event::RES_LOGIN_FAIL));
        QVERIFY(!event.value.as<QString>().isEmpty());
        QVERIFY(event.value.as<QString>() != QString("网络连接失败，请检查网络后重试"));

        event = answerFor(Event::REQ_COURSE_LIST, {}, AnyValue::of(QVariant(QVariantMap{})));
        QCOMPARE(event.id, int(Event::RES_COURSE_LIST_FAIL));
        QCOMPARE(event.value.as<QString>(), QString("网络连接失败，请检查网络后重试"));
        QCOMPARE(m_events->events().size(), 1);
        m_api.setDropping(false);
    }

    // A result event tells which request it answers, also when answers
    // arrive in another order than their requests.
    void resultsNameTheirRequest() {
        struct Serials : Mediator {
            QList<quint64> sent, answered;
            void onEvent(int id, const AnyValue&) override {
                if (id == Event::REQ_ALBUM_DETAIL)
                    sent << HttpHandler::lastRequest();
                else if (id == Event::RES_ALBUM_DETAIL_OK)
                    answered << HttpHandler::answeringRequest();
            }
        } serials;
        prepare(R"({"status":1,"data":{}})");
        const AnyValue album = AnyValue::of(QVariant(QVariantMap{{"albumID", "a2"}}));
        m_api.setHolding(true);
        send(Event::REQ_ALBUM_DETAIL, album);
        QTRY_COMPARE(m_api.requests().size(), 1);
        m_api.setHolding(false);
        send(Event::REQ_ALBUM_DETAIL, album);
        QTRY_COMPARE(serials.answered.size(), 1);
        m_api.releaseHeld();
        QTRY_COMPARE(serials.answered.size(), 2);
        QCOMPARE(serials.sent.size(), 2);
        QVERIFY(serials.sent[0] != serials.sent[1]);
        QCOMPARE(serials.answered, (QList<quint64>{serials.sent[1], serials.sent[0]}));
        QCOMPARE(HttpHandler::answeringRequest(), quint64(0));
    }

    void logoutCarriesTheRecordOfItsMoment() {
        // Stands for the main model, which resets the record on the same event.
        struct Resetter : Mediator {
            UserDao* record = nullptr;
            void onEvent(int id, const AnyValue&) override {
                if (id == Event::REQ_LOGOUT)
                    record->reset();
            }
        } resetter;
        resetter.record = &m_record;
        prepare(kSuccess);
        send(Event::REQ_LOGOUT);
        QTRY_COMPARE(m_api.requests().size(), 1);
        QVERIFY(m_api.requests().first().body.contains(R"("uid":"u7")"));
        QVERIFY(m_api.requests().first().body.contains(R"("auth_token":"rt7")"));
    }

    void otherEventsAndWrongValues() {
        prepare(kSuccess);
        for (int id : {int(Event::SHOW_VIEW), int(Event::SEARCH_KEYWORD), 205, 221,
                       int(Event::RES_NATURES_OK)})
            send(id, AnyValue::of(QString("x")));
        QVERIFY_EXCEPTION_THROWN(send(Event::REQ_COURSE_LIST, AnyValue::of(QString("x"))), CString);
        QVERIFY_EXCEPTION_THROWN(send(Event::REQ_SEARCH_COURSES, AnyValue::of(QVariant())),
                                 CString);
        QVERIFY_EXCEPTION_THROWN(
            send(Event::REQ_LOGIN_PASSWORD, AnyValue::of(QVariant(QVariantMap{}))), CString);
        QTest::qWait(200);
        QVERIFY(m_api.requests().isEmpty());
    }
};

QTEST_GUILESS_MAIN(WireFormatTest)
#include "WireFormatTest.moc"
