#include "EndpointTable.h"

#include "EventIds.h"

#include <QHash>

namespace {

using P = Endpoint::Param;
using Params = QVector<Endpoint::Param>;
using Source = Endpoint::Source;
using Answer = Endpoint::Answer;
using Input = Endpoint::Input;
using Style = Endpoint::Style;

P text(const char* key, const char* constant) {
    return {QString::fromLatin1(key), Source::Text, QString::fromLatin1(constant)};
}
P number(const char* key, int constant) {
    return {QString::fromLatin1(key), Source::Number, constant};
}
P value(const char* key, const char* valueKey) {
    return {QString::fromLatin1(key), Source::Value, QString::fromLatin1(valueKey)};
}
P device(const char* key) {
    return {QString::fromLatin1(key), Source::Device, {}};
}
P timestamp() {
    return {QStringLiteral("timestamp"), Source::Timestamp, {}};
}
// A constant the template already spells out: signed, but fills no placeholder.
P literal(P param) {
    param.placeholder = false;
    return param;
}

// Identity of content requests: nobody, whatever the login state.
Params anonymous(const char* uid = "") {
    return {text("uid", uid), text("auth_token", ""), timestamp()};
}
// Identity of requests on the user's own data, read from the session record.
Params fromRecord() {
    return {{QStringLiteral("uid"), Source::RecordUid, {}},
            {QStringLiteral("auth_token"), Source::RecordToken, {}},
            timestamp()};
}
// Identity that the sending model copied into the value.
Params fromValue() {
    return {value("uid", "userID"), value("auth_token", "token"), timestamp()};
}
// The paging constants most lists share.
Params firstPage(int rows = 50) {
    return {number("start", 0), number("rows", rows)};
}
// Lists that load more ask for the page that starts at the value's `start`;
// without one they ask for the first page, exactly as before.
Params pageAt(int rows = 50) {
    return {{QStringLiteral("start"), Source::Offset, QStringLiteral("start")},
            number("rows", rows)};
}
Params literals(const Params& params) {
    Params out;
    for (const P& p : params)
        out.append(literal(p));
    return out;
}

Endpoint make(int request, Style style, const char* path, const Params& params, int ok, int fail,
              Input input, Answer answer) {
    Endpoint endpoint{};
    endpoint.request = request;
    endpoint.style = style;
    endpoint.origin = Endpoint::Origin::Api;
    endpoint.path = QString::fromLatin1(path);
    endpoint.params = params;
    endpoint.isSigned = true;
    endpoint.signatureKey = QStringLiteral("sign");
    endpoint.input = input;
    endpoint.answer = answer;
    endpoint.okEvent = ok;
    endpoint.failEvent = fail;
    return endpoint;
}

Endpoint get(int request, const char* path, const char* queryTemplate, const Params& params, int ok,
             int fail, Input input = Input::None, Answer answer = Answer::Data) {
    Endpoint endpoint = make(request, Style::Template, path, params, ok, fail, input, answer);
    endpoint.queryTemplate = QString::fromLatin1(queryTemplate);
    return endpoint;
}

Endpoint query(int request, const char* path, const Params& params, int ok, int fail,
               Answer answer = Answer::Data) {
    return make(request, Style::Builder, path, params, ok, fail, Input::VariantMap, answer);
}

Endpoint post(int request, const char* path, const Params& params, int ok, int fail,
              Input input = Input::VariantMap, Answer answer = Answer::Data,
              const char* signatureKey = "sign") {
    Endpoint endpoint = make(request, Style::JsonBody, path, params, ok, fail, input, answer);
    endpoint.signatureKey = QString::fromLatin1(signatureKey);
    return endpoint;
}

Endpoint unsignedRequest(Endpoint endpoint) {
    endpoint.isSigned = false;
    endpoint.signatureKey.clear();
    return endpoint;
}

Endpoint onDictionary(Endpoint endpoint) {
    endpoint.origin = Endpoint::Origin::Dictionary;
    return endpoint;
}

QVector<Endpoint> templateEndpoints() {
    using namespace Event;
    const char* plain = "uid=%1&auth_token=%2&timestamp=%3&sign=%4";
    const char* search = "uid=%1&auth_token=%2&timestamp=%3&keyword=%4&start=0&rows=50&sign=%5";
    const Params searchParams =
        anonymous() + Params{value("keyword", "keyword")} + literals(firstPage());
    return {
        get(REQ_NATURES, "/basic/nature?", plain, anonymous("0"), RES_NATURES_OK, RES_NATURES_FAIL),
        // "&&timesamp" is what the service has always been sent.
        get(REQ_HOME_BANNER, "/advert/lists?", "uid=%1&auth_token=%2&&timesamp=%3&type=%4&sign=%5",
            anonymous("0") + Params{text("type", "windows_index_banner")}, RES_HOME_BANNER_OK,
            RES_HOME_BANNER_FAIL, Input::None, Answer::Body),
        get(REQ_HOT_SEARCH, "/search/newHotSearch?", plain, anonymous("0"), RES_HOT_SEARCH_OK,
            RES_HOT_SEARCH_FAIL, Input::None, Answer::Body),
        get(REQ_HOME_INDEX, "/windows/home/index?", plain, anonymous("0"), RES_HOME_INDEX_OK,
            RES_HOME_INDEX_FAIL),
        get(REQ_HOME_REFRESH, "/windows/home/refresh?",
            "uid=%1&auth_token=%2&timesamp=%3&module=%4&id=%5&num=%6&sign=%7",
            anonymous() + Params{value("module", "module"), value("id", "id"), value("num", "num")},
            RES_HOME_REFRESH_OK, RES_HOME_REFRESH_FAIL, Input::Map, Answer::Body),
        get(REQ_CATEGORIES, "/basic/cates?",
            "uid=%1&auth_token=%2&timesamp=%3&category_id=%4&type=%5&sign=%6",
            anonymous() + Params{number("category_id", 0), text("type", "course")},
            RES_CATEGORIES_OK, RES_CATEGORIES_FAIL),
        get(REQ_SEARCH_COURSES, "/search/new_course_album?", search, searchParams,
            RES_COURSE_LIST_OK, RES_SEARCH_COURSES_FAIL, Input::Map),
        get(REQ_SEARCH_ALBUMS, "/search/album_list?", search, searchParams, RES_SEARCH_ALBUMS_OK,
            RES_SEARCH_ALBUMS_FAIL, Input::Map),
        get(REQ_COURSE_DETAIL, "/course/detail_new?",
            "uid=%1&auth_token=%2&timestamp=%3&course_id=%4&album_id=&sign=%5",
            anonymous() + Params{value("course_id", "courseID"), literal(text("album_id", ""))},
            RES_COURSE_DETAIL_OK, RES_COURSE_DETAIL_FAIL, Input::VariantMap),
        get(REQ_SHOW_DETAIL, "/show/detail?",
            "uid=%1&auth_token=%2&timestamp=%3&show_id=%4&sign=%5",
            Params{value("uid", "uid"), text("auth_token", ""), timestamp(),
                   value("show_id", "showID")},
            RES_SHOW_DETAIL_OK, RES_SHOW_DETAIL_FAIL, Input::VariantMap),
        // The album list has never carried a token.
        get(REQ_ALBUM_LIST, "/album/get_album_list?",
            "uid=%1&timestamp=%2&category_id=%3&start=%4&rows=50&sign=%5",
            Params{text("uid", "0"), timestamp(), value("category_id", "categoryID"), pageAt()[0],
                   literal(number("rows", 50))},
            RES_ALBUM_LIST_OK, RES_ALBUM_LIST_FAIL, Input::VariantMap),
        get(REQ_ALBUM_DETAIL, "/album/detail?",
            "uid=%1&auth_token=%2&timestamp=%3&album_id=%4&is_from_share=0&sign=%5",
            anonymous() + Params{value("album_id", "albumID"), literal(number("is_from_share", 0))},
            RES_ALBUM_DETAIL_OK, RES_ALBUM_DETAIL_FAIL, Input::VariantMap),
        get(REQ_ALBUM_COURSES, "/album/course_list?",
            "uid=%1&auth_token=%2&timestamp=%3&album_id=%4&start=0&rows=50&sign=%5",
            anonymous() + Params{value("album_id", "albumID")} + literals(firstPage()),
            RES_ALBUM_COURSES_OK, RES_ALBUM_COURSES_FAIL, Input::VariantMap),
        get(REQ_MY_COURSE_FAVORITES, "/course/myCollect?",
            "uid=%1&auth_token=%2&timestamp=%3&category_id=%4&keyword=&start=0&rows=50&sign=%5",
            fromRecord() + Params{value("category_id", "cid"), literal(text("keyword", ""))} +
                literals(firstPage()),
            RES_MY_COURSE_FAVORITES_OK, RES_MY_COURSE_FAVORITES_FAIL, Input::Map),
        get(REQ_MY_ALBUM_FAVORITES, "/album/myCollect?",
            "uid=%1&auth_token=%2&timestamp=%3&keyword=&start=0&rows=50&sign=%4",
            fromRecord() + Params{literal(text("keyword", ""))} + literals(firstPage()),
            RES_MY_ALBUM_FAVORITES_OK, RES_MY_ALBUM_FAVORITES_FAIL),
        get(REQ_CLASS_GROUPS, "/class/group/chat_group?",
            "uid=%1&auth_token=%2&timestamp=%3&type=%4&sign=%5",
            fromRecord() + Params{value("type", "type")}, RES_CLASS_GROUPS_OK,
            RES_CLASS_GROUPS_FAIL, Input::VariantMap),
        unsignedRequest(
            get(REQ_SMS_CODE, "/user/mobile_code?",
                "mobile=%1&uid=%2&old_mobile=%3&isreset=%4&type=%5&c_type=%6",
                Params{value("mobile", "mobile"), text("uid", "0"), text("old_mobile", ""),
                       text("isreset", "0"), text("type", "5"), text("c_type", "0")},
                RES_SMS_CODE_OK, RES_SMS_CODE_FAIL, Input::VariantMap)),
    };
}

QVector<Endpoint> builderEndpoints() {
    using namespace Event;
    return {
        query(REQ_COURSE_LIST, "/course/get_course_list?",
              fromValue() + pageAt() +
                  Params{value("sort", "sort"), value("nature_id", "natureID"),
                         value("role", "role"), value("pronunciation", "pronunciation"),
                         value("speed", "speed"), value("difficulty", "difficulty"),
                         value("subtitle_num", "subtitle"), value("category_id", "categoryID")},
              RES_COURSE_LIST_OK, RES_COURSE_LIST_FAIL),
        query(REQ_COURSE_RANK, "/StudyShow/course_show",
              anonymous() + Params{value("course_id", "id"), number("show_student", 0)} +
                  firstPage(20),
              RES_COURSE_RANK_OK, RES_COURSE_RANK_FAIL),
        query(REQ_CHECK_FAVORITE, "/course/check_collect?",
              fromValue() + Params{value("course_id", "courseID"), value("album_id", "albumID")},
              RES_CHECK_FAVORITE_OK, RES_CHECK_FAVORITE_FAIL),
        query(REQ_WECHAT_QR_INFO, "/weixin/getLoginQrcodeInfo",
              anonymous() + Params{value("app_id", "appID")}, RES_WECHAT_QR_INFO_OK,
              RES_WECHAT_QR_INFO_FAIL),
        query(REQ_WECHAT_CODE, "/weixin/getCode", anonymous() + Params{value("code_id", "codeID")},
              RES_WECHAT_CODE_OK, RES_WECHAT_CODE_FAIL, Answer::Code),
        query(REQ_WECHAT_USER_INFO, "/weixin/weixinUserInfo",
              anonymous() + Params{value("app_id", "appID"), value("code", "code")},
              RES_WECHAT_USER_INFO_OK, RES_WECHAT_USER_INFO_FAIL),
        onDictionary(
            unsignedRequest(query(REQ_WORD_LOOKUP, "/words/api?", Params{value("word", "word")},
                                  RES_WORD_LOOKUP_OK, RES_WORD_LOOKUP_FAIL))),
    };
}

QVector<Endpoint> bodyEndpoints() {
    using namespace Event;
    return {
        post(REQ_LOGIN_PASSWORD, "/user/login",
             Params{value("mobile", "ID"), value("password", "PW"), device("devicetoken"),
                    timestamp()},
             RES_LOGIN_OK, RES_LOGIN_FAIL, Input::StringMap, Answer::Login),
        post(REQ_LOGIN_CODE, "/user/codeLogin",
             Params{value("mobile", "mobile"), value("code", "code"),
                    value("devicetoken", "device"), timestamp()},
             RES_LOGIN_OK, RES_LOGIN_FAIL, Input::VariantMap, Answer::Login),
        post(REQ_LOGIN_WECHAT, "/user/third_login",
             anonymous() + Params{text("type", "3"), value("nickname", "nickname"),
                                  value("sex", "sex"), value("avatar", "avatar"),
                                  device("devicetoken"), device("device_info"),
                                  value("auth_url", "auth_url"), value("token", "openid")},
             RES_LOGIN_OK, RES_LOGIN_FAIL, Input::VariantMap, Answer::Login, "signature"),
        post(REQ_LOGOUT, "/user/logout", fromRecord(), RES_LOGOUT_OK, RES_LOGOUT_FAIL, Input::None),
        // The trailing "?" is part of the path the service knows.
        post(REQ_ADD_FAVORITE, "/course/collect?",
             fromRecord() + Params{value("course_id", "cid"), value("album_id", "aid"),
                                   number("category_ids", 0)},
             RES_ADD_FAVORITE_OK, RES_ADD_FAVORITE_FAIL),
        post(REQ_REMOVE_FAVORITE, "/course/delete_collect",
             fromValue() + Params{value("course_id", "courseID"), value("album_id", "albumID")},
             RES_REMOVE_FAVORITE_OK, RES_REMOVE_FAVORITE_FAIL),
        post(REQ_ASSIGN_TASK, "/class/group/add_task",
             fromRecord() + Params{value("course_list", "cID"), value("group_id", "gID")},
             RES_ASSIGN_TASK_OK, RES_ASSIGN_TASK_FAIL),
        post(REQ_VIP_PLANS, "/funds/vip_list", fromRecord() + Params{number("svip", 1)},
             RES_VIP_PLANS_OK, RES_VIP_PLANS_FAIL, Input::None),
        post(REQ_VIP_ORDER, "/funds/vipMember",
             fromRecord() + Params{value("amount", "amount"), value("pid", "pid"),
                                   value("days", "days"), value("type", "type"),
                                   value("gateway", "gateway")},
             RES_VIP_ORDER_OK, RES_VIP_ORDER_FAIL),
        // A dub is always published on its own, never into an album.
        post(REQ_PUBLISH_SHOW, "/show/add",
             fromValue() + Params{text("album_id", "0"), value("course_id", "courseID"),
                                  text("dubbing_type", "0"), value("audio", "audio"),
                                  value("score", "score"), value("dub_duration", "duration")},
             RES_PUBLISH_SHOW_OK, RES_PUBLISH_SHOW_FAIL),
    };
}

} // namespace

const QVector<Endpoint>& EndpointTable::all() {
    static const QVector<Endpoint> table =
        templateEndpoints() + builderEndpoints() + bodyEndpoints();
    return table;
}

const Endpoint* EndpointTable::find(int requestEvent) {
    static const QHash<int, const Endpoint*> byRequest = [] {
        QHash<int, const Endpoint*> index;
        for (const Endpoint& endpoint : all())
            index.insert(endpoint.request, &endpoint);
        return index;
    }();
    return byRequest.value(requestEvent, nullptr);
}
