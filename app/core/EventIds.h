#pragma once

// Every event of the client. The value each carries is written next to it:
// "none" is an empty AnyValue; "map" is AnyValueContent<QVariant> holding a
// QVariantMap; QVariantMap / QStringMap are AnyValueContent<QMap<...>>.
// Results carry, unless noted: success AnyValueContent<QVariant> (the answer's
// `data`), failure AnyValueContent<QString> (the answer's `msg`).
namespace Event {
enum Id : int {
    // Application
    SHOW_VIEW = 1, // ViewType
    QUIT_APP = 3,  // none

    // Between modules
    NAV_BACK = 101,           // none
    NAV_FORWARD = 102,        // none
    SEARCH_KEYWORD = 103,     // QString keyword
    SEARCH_VIDEOS = 105,      // none
    SEARCH_ALBUMS = 106,      // none
    KEYWORD_CHANGED = 107,    // QVariant string
    OPEN_HOME_ITEM = 108,     // map: the clicked banner or card
    OPEN_MORE_PAGE = 109,     // none
    DUBBING_STATE = 110,      // QVariant bool
    LEAVE_VIDEO_PAGE = 111,   // QVariant bool
    OPEN_VIDEO = 112,         // map: clip detail
    OPEN_ALBUM = 113,         // map: album item
    SHOW_LOGIN = 116,         // none
    CLOSE_LOGIN = 117,        // none, or QString login answer body
    SHOW_VIP_PURCHASE = 118,  // none
    CLOSE_VIP_PURCHASE = 119, // none
    SHOW_TEACHING = 122,      // QVariant teaching content
    TEACHING_CLOSED = 123,    // none
    KEY_SPACE = 124,          // QVariant (null)
    WINDOW_MAXIMIZED = 125,   // none
    WINDOW_RESTORED = 126,    // none
    RELOAD_LEFT_LIST = 127,   // none

    // Requests to the web service client
    REQ_NATURES = 201,             // none
    REQ_HOME_BANNER = 202,         // none
    REQ_HOT_SEARCH = 203,          // none
    REQ_HOME_INDEX = 204,          // none
    REQ_HOME_REFRESH = 206,        // QVariantMap
    REQ_CATEGORIES = 207,          // none
    REQ_COURSE_LIST = 208,         // map
    REQ_SEARCH_COURSES = 209,      // QVariantMap
    REQ_SEARCH_ALBUMS = 210,       // QVariantMap
    REQ_COURSE_RANK = 211,         // map
    REQ_COURSE_DETAIL = 212,       // map
    REQ_SHOW_DETAIL = 213,         // map
    REQ_ALBUM_LIST = 214,          // map
    REQ_ALBUM_DETAIL = 215,        // map
    REQ_ALBUM_COURSES = 216,       // map
    REQ_LOGIN_PASSWORD = 217,      // QStringMap {ID, PW}
    REQ_LOGIN_CODE = 218,          // map
    REQ_LOGIN_WECHAT = 219,        // map
    REQ_LOGOUT = 220,              // none
    REQ_SMS_CODE = 222,            // map
    REQ_WECHAT_QR_INFO = 223,      // map
    REQ_WECHAT_CODE = 224,         // map
    REQ_WECHAT_USER_INFO = 225,    // map
    REQ_MY_COURSE_FAVORITES = 226, // QVariantMap
    REQ_MY_ALBUM_FAVORITES = 227,  // QVariantMap (not read)
    REQ_CHECK_FAVORITE = 228,      // map
    REQ_ADD_FAVORITE = 229,        // map
    REQ_REMOVE_FAVORITE = 230,     // map
    REQ_CLASS_GROUPS = 231,        // map
    REQ_ASSIGN_TASK = 232,         // map
    REQ_VIP_PLANS = 233,           // none
    REQ_VIP_ORDER = 234,           // map
    REQ_PUBLISH_SHOW = 235,        // map
    REQ_WORD_LOOKUP = 236,         // map

    // Results
    RES_NATURES_OK = 237,
    RES_NATURES_FAIL = 238,
    RES_HOME_BANNER_OK = 239, // QString: the whole answer body
    RES_HOME_BANNER_FAIL = 240,
    RES_HOT_SEARCH_OK = 241, // QString: the whole answer body
    RES_HOT_SEARCH_FAIL = 242,
    RES_HOME_INDEX_OK = 243,
    RES_HOME_INDEX_FAIL = 244,
    RES_HOME_REFRESH_OK = 247, // QString: the whole answer body
    RES_HOME_REFRESH_FAIL = 248,
    RES_CATEGORIES_OK = 249,
    RES_CATEGORIES_FAIL = 250,
    RES_COURSE_LIST_FAIL = 252,
    RES_COURSE_LIST_OK = 253, // success of REQ_COURSE_LIST and REQ_SEARCH_COURSES
    RES_SEARCH_COURSES_FAIL = 254,
    RES_SEARCH_ALBUMS_OK = 255,
    RES_SEARCH_ALBUMS_FAIL = 256,
    RES_COURSE_RANK_OK = 257,
    RES_COURSE_RANK_FAIL = 258,
    RES_COURSE_DETAIL_OK = 259,
    RES_COURSE_DETAIL_FAIL = 260,
    RES_SHOW_DETAIL_OK = 261,
    RES_SHOW_DETAIL_FAIL = 262,
    RES_ALBUM_LIST_OK = 263,
    RES_ALBUM_LIST_FAIL = 264,
    RES_ALBUM_DETAIL_OK = 265,
    RES_ALBUM_DETAIL_FAIL = 266,
    RES_ALBUM_COURSES_OK = 267,
    RES_ALBUM_COURSES_FAIL = 268,
    RES_LOGIN_OK = 269,   // QString: the whole answer body, after the session record is filled
    RES_LOGIN_FAIL = 270, // QString: `msg`, or the transport's error text
    RES_LOGOUT_OK = 275,
    RES_LOGOUT_FAIL = 276,
    RES_SMS_CODE_OK = 279,
    RES_SMS_CODE_FAIL = 280,
    RES_WECHAT_QR_INFO_OK = 281,
    RES_WECHAT_QR_INFO_FAIL = 282,
    RES_WECHAT_CODE_OK = 283, // QVariantMap: the whole answer, only with a non-empty data.code
    RES_WECHAT_CODE_FAIL = 284,
    RES_WECHAT_USER_INFO_OK = 285,
    RES_WECHAT_USER_INFO_FAIL = 286,
    RES_MY_COURSE_FAVORITES_OK = 287,
    RES_MY_COURSE_FAVORITES_FAIL = 288,
    RES_MY_ALBUM_FAVORITES_OK = 289,
    RES_MY_ALBUM_FAVORITES_FAIL = 290,
    RES_CHECK_FAVORITE_OK = 291,
    RES_CHECK_FAVORITE_FAIL = 292,
    RES_ADD_FAVORITE_OK = 293,
    RES_ADD_FAVORITE_FAIL = 294,
    RES_REMOVE_FAVORITE_OK = 295,
    RES_REMOVE_FAVORITE_FAIL = 296,
    RES_CLASS_GROUPS_OK = 297,
    RES_CLASS_GROUPS_FAIL = 298,
    RES_ASSIGN_TASK_OK = 299,
    RES_ASSIGN_TASK_FAIL = 300,
    RES_VIP_PLANS_OK = 301,
    RES_VIP_PLANS_FAIL = 302,
    RES_VIP_ORDER_OK = 303,
    RES_VIP_ORDER_FAIL = 304,
    RES_PUBLISH_SHOW_OK = 305,
    RES_PUBLISH_SHOW_FAIL = 306,
    RES_WORD_LOOKUP_OK = 307,
    RES_WORD_LOOKUP_FAIL = 308,
};
} // namespace Event
