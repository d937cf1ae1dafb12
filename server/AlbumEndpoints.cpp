#include "AlbumEndpoints.h"

#include "ApiError.h"
#include "ApiRouter.h"
#include "ItemBuilder.h"

namespace lintavo {

namespace {

Json albumList(ApiCall& call) {
    std::string category = call.text("category_id", 20);
    int64_t start = call.number("start", 0, 100000);
    int64_t rows = call.number("rows", 50, 100);
    std::string where;
    int64_t categoryId = 0;
    if (category == "vip_album") {
        where = "WHERE a.is_vip <> '0' ";
    } else if (!category.empty() && category != "0") {
        categoryId = call.id("category_id");
        where = "WHERE a.category_id = ?3 ";
    }
    Statement& row =
        call.db().query(ItemBuilder::albumSelect() + where + "ORDER BY a.id LIMIT ?1 OFFSET ?2",
                        rows, start, categoryId);
    ItemBuilder items(call.origin());
    Json list = Json::array();
    while (row.step())
        list.push_back(items.albumItem(row));
    return list;
}

Json albumDetail(ApiCall& call) {
    int64_t id = call.id("album_id");
    Statement& row = call.db().query(ItemBuilder::albumSelect() + "WHERE a.id = ?", id);
    if (!row.step())
        throw ApiError("专辑不存在 (unknown album_id)");
    return ItemBuilder(call.origin()).albumItem(row);
}

Json albumCourses(ApiCall& call) {
    int64_t id = call.id("album_id");
    if (call.db().scalar(0, "SELECT COUNT(*) FROM albums WHERE id = ?", id) == 0)
        throw ApiError("专辑不存在 (unknown album_id)");
    Statement& row = call.db().query(
        ItemBuilder::courseSelect() + "WHERE c.album_id = ? ORDER BY c.id LIMIT ? OFFSET ?", id,
        call.number("rows", 50, 100), call.number("start", 0, 100000));
    ItemBuilder items(call.origin());
    Json list = Json::array();
    while (row.step())
        list.push_back(items.courseItem(row));
    return list;
}

} // namespace

void AlbumEndpoints::install(ApiRouter& router) {
    using S = ApiRouter::Signing;
    router.get("/album/get_album_list", S::Required, albumList);
    router.get("/album/detail", S::Required, albumDetail);
    router.get("/album/course_list", S::Required, albumCourses);
}

} // namespace lintavo
