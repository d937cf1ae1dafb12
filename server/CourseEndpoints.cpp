#include "CourseEndpoints.h"

#include "ApiError.h"
#include "ApiRouter.h"
#include "ItemBuilder.h"

#include <regex>
#include <vector>

namespace lintavo {

namespace {

constexpr int64_t kMaxRows = 100;
constexpr int64_t kMaxStart = 100000;

// Bound values of a dynamically assembled WHERE clause.
struct Conditions {
    std::string sql;
    std::vector<int64_t> values;

    void add(const std::string& clause, int64_t value) {
        sql += (sql.empty() ? "WHERE " : " AND ") + clause;
        values.push_back(value);
    }
};

int64_t smallChoice(ApiCall& call, const std::string& key, int64_t max) {
    std::string value = call.filter(key);
    if (value.empty())
        return -1;
    if (!ApiCall::isDigits(value) || std::stoll(value) > max)
        throw ApiError("参数错误: " + key + " (unknown filter value)");
    return std::stoll(value);
}

void addSentenceCount(ApiCall& call, Conditions& where) {
    std::string value = call.filter("subtitle_num");
    if (value.empty())
        return;
    static const std::regex range("^([0-9]{1,3})(,([0-9]{1,3}))?$");
    std::smatch m;
    if (!std::regex_match(value, m, range))
        throw ApiError("参数错误: subtitle_num (expected N or N,M)");
    int64_t low = std::stoll(m[1]);
    if (m[3].matched) {
        where.add("c.subtitle_num >= ?", low);
        where.add("c.subtitle_num <= ?", std::stoll(m[3]));
    } else if (low >= 10) {
        where.add("c.subtitle_num >= ?", low); // "10句以上"
    } else {
        where.add("c.subtitle_num = ?", low);
    }
}

std::string orderClause(ApiCall& call) {
    std::string sort = call.filter("sort");
    if (sort.empty() || sort == "recommend")
        return " ORDER BY c.id";
    if (sort == "hot")
        return " ORDER BY c.hot DESC, c.id";
    if (sort == "new")
        return " ORDER BY c.created DESC, c.id DESC";
    throw ApiError("参数错误: sort (expected all, hot or new)");
}

Json runCourseQuery(ApiCall& call, const Conditions& where, const std::string& order) {
    int64_t start = call.number("start", 0, kMaxStart);
    int64_t rows = call.number("rows", 50, kMaxRows);
    Statement& row =
        call.db().prepare(ItemBuilder::courseSelect() + where.sql + order + " LIMIT ? OFFSET ?");
    int index = 1;
    for (int64_t v : where.values)
        row.bind(index++, v);
    row.bind(index++, rows);
    row.bind(index, start);
    ItemBuilder items(call.origin());
    Json list = Json::array();
    while (row.step())
        list.push_back(items.courseItem(row));
    return list;
}

Json courseList(ApiCall& call) {
    Conditions where;
    if (int64_t nature = call.optionalId("nature_id"))
        where.add("c.nature_id = ?", nature);
    if (int64_t category = call.optionalId("category_id"))
        where.add("c.category_id = ?", category);
    if (int64_t role = smallChoice(call, "role", 9); role >= 0)
        where.add("c.role = ?", role);
    if (int64_t pron = smallChoice(call, "pronunciation", 9); pron >= 0)
        where.add("c.pronunciation = ?", pron);
    if (int64_t speed = smallChoice(call, "speed", 9); speed >= 0)
        where.add("c.speed = ?", speed);
    if (int64_t level = smallChoice(call, "difficulty", 9); level >= 0) {
        // "0" is the entry level, whose clips are marked 0.5.
        where.add("CAST(c.difficulty AS REAL) >= ?", level);
        where.add("CAST(c.difficulty AS REAL) < ?", level + 1);
    }
    addSentenceCount(call, where);
    return runCourseQuery(call, where, orderClause(call));
}

Json searchCourses(ApiCall& call) {
    std::string keyword = call.text("keyword", 50);
    if (keyword.empty())
        return Json::array();
    std::string pattern = CourseEndpoints::likePattern(keyword);
    int64_t start = call.number("start", 0, kMaxStart);
    int64_t rows = call.number("rows", 50, kMaxRows);
    Statement& row = call.db().query(
        ItemBuilder::courseSelect() +
            "WHERE c.title LIKE ?1 ESCAPE '\\' OR c.sub_title LIKE ?1 ESCAPE '\\' OR EXISTS "
            "(SELECT 1 FROM sentences s WHERE s.course_id = c.id AND (s.en LIKE ?1 ESCAPE '\\' "
            "OR s.cn LIKE ?1 ESCAPE '\\')) ORDER BY c.hot DESC, c.id LIMIT ?2 OFFSET ?3",
        pattern, rows, start);
    ItemBuilder items(call.origin());
    Json list = Json::array();
    while (row.step())
        list.push_back(items.courseItem(row));
    return list;
}

Json searchAlbums(ApiCall& call) {
    std::string keyword = call.text("keyword", 50);
    if (keyword.empty())
        return Json::array();
    int64_t start = call.number("start", 0, kMaxStart);
    int64_t rows = call.number("rows", 50, kMaxRows);
    Statement& row = call.db().query(
        ItemBuilder::albumSelect() +
            "WHERE a.title LIKE ?1 ESCAPE '\\' OR a.description LIKE ?1 ESCAPE '\\' OR EXISTS "
            "(SELECT 1 FROM courses c WHERE c.album_id = a.id AND c.title LIKE ?1 ESCAPE '\\') "
            "ORDER BY a.id LIMIT ?2 OFFSET ?3",
        CourseEndpoints::likePattern(keyword), rows, start);
    ItemBuilder items(call.origin());
    Json list = Json::array();
    while (row.step())
        list.push_back(items.albumItem(row));
    return list;
}

Json courseDetail(ApiCall& call) {
    int64_t id = call.id("course_id");
    call.optionalId("album_id"); // sent empty; validated when given
    Statement& row = call.db().query(ItemBuilder::courseSelect() + "WHERE c.id = ?", id);
    if (!row.step())
        throw ApiError("视频不存在 (unknown course_id)");
    return ItemBuilder(call.origin()).courseItem(row);
}

} // namespace

std::string CourseEndpoints::likePattern(const std::string& keyword) {
    std::string pattern = "%";
    for (char c : keyword) {
        if (c == '%' || c == '_' || c == '\\')
            pattern.push_back('\\');
        pattern.push_back(c);
    }
    return pattern + "%";
}

void CourseEndpoints::install(ApiRouter& router) {
    using S = ApiRouter::Signing;
    router.get("/course/get_course_list", S::Required, courseList);
    router.get("/search/new_course_album", S::Required, searchCourses);
    router.get("/search/album_list", S::Required, searchAlbums);
    router.get("/course/detail_new", S::Required, courseDetail);
}

} // namespace lintavo
