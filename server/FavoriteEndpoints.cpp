#include "FavoriteEndpoints.h"

#include "ApiError.h"
#include "ApiRouter.h"
#include "ItemBuilder.h"

#include <ctime>

namespace lintavo {

namespace {

// The favourite a request names: a clip when course_id is given, else an album.
struct Target {
    int64_t course = 0;
    int64_t album = 0;
};

Target targetOf(ApiCall& call) {
    Target t;
    t.course = call.optionalId("course_id");
    if (t.course == 0)
        t.album = call.optionalId("album_id");
    if (t.course == 0 && t.album == 0)
        throw ApiError("缺少参数: course_id 或 album_id (missing parameter)");
    const char* sql = t.course ? "SELECT COUNT(*) FROM courses WHERE id = ?"
                               : "SELECT COUNT(*) FROM albums WHERE id = ?";
    if (call.db().scalar(0, sql, t.course ? t.course : t.album) == 0)
        throw ApiError(t.course ? "视频不存在 (unknown course_id)"
                                : "专辑不存在 (unknown album_id)");
    return t;
}

Json addFavorite(ApiCall& call) {
    int64_t uid = call.requireUser();
    Target t = targetOf(call);
    int changed = call.db().run("INSERT OR IGNORE INTO favorites (uid, course_id, album_id, "
                                "created) VALUES (?, ?, ?, ?)",
                                uid, t.course, t.album, int64_t(std::time(nullptr)));
    if (changed == 0)
        throw ApiError("已经收藏过了 (already a favourite)");
    return Json::object();
}

Json removeFavorite(ApiCall& call) {
    int64_t uid = call.requireUser();
    Target t = targetOf(call);
    if (call.db().run("DELETE FROM favorites WHERE uid = ? AND course_id = ? AND album_id = ?", uid,
                      t.course, t.album) == 0)
        throw ApiError("还没有收藏 (not a favourite)");
    return Json::object();
}

Json checkFavorite(ApiCall& call) {
    int64_t uid = call.optionalUser();
    Target t = targetOf(call);
    int64_t count = uid == 0 ? 0
                             : call.db().scalar(0,
                                                "SELECT COUNT(*) FROM favorites WHERE uid = ? AND "
                                                "course_id = ? AND album_id = ?",
                                                uid, t.course, t.album);
    return {{"is_collect", count > 0 ? 1 : 0}};
}

Json myCourses(ApiCall& call) {
    int64_t uid = call.requireUser();
    int64_t category = call.optionalId("category_id");
    call.text("keyword", 50);
    Statement& row = call.db().query(
        ItemBuilder::courseSelect() +
            "JOIN favorites f ON f.course_id = c.id AND f.album_id = 0 WHERE f.uid = ? AND "
            "(? = 0 OR c.category_id = ?) ORDER BY f.created DESC, c.id LIMIT ? OFFSET ?",
        uid, category, category, call.number("rows", 50, 100), call.number("start", 0, 100000));
    ItemBuilder items(call.origin());
    Json list = Json::array();
    while (row.step())
        list.push_back(items.courseItem(row));
    return list;
}

Json myAlbums(ApiCall& call) {
    int64_t uid = call.requireUser();
    call.text("keyword", 50);
    Statement& row = call.db().query(
        ItemBuilder::albumSelect() +
            "JOIN favorites f ON f.album_id = a.id AND f.course_id = 0 WHERE f.uid = ? "
            "ORDER BY f.created DESC, a.id LIMIT ? OFFSET ?",
        uid, call.number("rows", 50, 100), call.number("start", 0, 100000));
    ItemBuilder items(call.origin());
    Json list = Json::array();
    while (row.step())
        list.push_back(items.albumItem(row));
    return list;
}

} // namespace

void FavoriteEndpoints::install(ApiRouter& router) {
    using S = ApiRouter::Signing;
    router.post("/course/collect", S::Required, addFavorite);
    router.post("/course/delete_collect", S::Required, removeFavorite);
    router.get("/course/check_collect", S::Required, checkFavorite);
    router.get("/course/myCollect", S::Required, myCourses);
    router.get("/album/myCollect", S::Required, myAlbums);
}

} // namespace lintavo
