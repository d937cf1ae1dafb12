#include "ClassEndpoints.h"

#include "ApiError.h"
#include "ApiRouter.h"
#include "ItemBuilder.h"

#include <ctime>
#include <sstream>
#include <vector>

namespace lintavo {

namespace {

int64_t requireTeacher(ApiCall& call) {
    int64_t uid = call.requireUser();
    if (call.db().scalar(0, "SELECT is_teacher FROM users WHERE id = ?", uid) == 0)
        throw ApiError("只有老师可以布置作业 (teachers only)");
    return uid;
}

// "12,34," -> {12, 34}; empty entries are skipped, anything else must be an id.
std::vector<int64_t> idList(ApiCall& call, const std::string& key) {
    std::string text = call.text(key, 400);
    std::vector<int64_t> ids;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        if (part.empty())
            continue;
        if (!ApiCall::isDigits(part) || std::stoll(part) <= 0)
            throw ApiError("参数错误: " + key + " (expected ids separated by commas)");
        ids.push_back(std::stoll(part));
    }
    return ids;
}

Json groups(ApiCall& call) {
    int64_t uid = requireTeacher(call);
    std::string type = call.text("type", 4);
    if (!type.empty() && type != "1")
        throw ApiError("参数错误: type");
    ItemBuilder items(call.origin());
    Statement& me = call.db().query("SELECT avatar FROM users WHERE id = ?", uid);
    std::string teacherAvatar = me.step() ? items.mediaUrl(me.text(0)) : std::string();
    me.reset();
    Statement& row =
        call.db().query("SELECT id, name, image FROM class_groups WHERE teacher_uid = ? "
                        "ORDER BY id",
                        uid);
    Json list = Json::array();
    while (row.step())
        list.push_back({{"id", std::to_string(row.integer(0))},
                        {"name", row.text(1)},
                        {"image", items.mediaUrl(row.text(2))},
                        {"teacher_avatar", teacherAvatar}});
    return list;
}

Json assign(ApiCall& call) {
    int64_t uid = requireTeacher(call);
    auto courses = idList(call, "course_list");
    auto groupIds = idList(call, "group_id");
    if (courses.empty())
        throw ApiError("缺少参数: course_list (missing parameter)");
    if (groupIds.empty())
        throw ApiError("请选择班级 (no class group chosen)");
    for (int64_t course : courses)
        if (call.db().scalar(0, "SELECT COUNT(*) FROM courses WHERE id = ?", course) == 0)
            throw ApiError("视频不存在 (unknown course_id)");
    for (int64_t group : groupIds)
        if (call.db().scalar(0,
                             "SELECT COUNT(*) FROM class_groups WHERE id = ? AND teacher_uid = ?",
                             group, uid) == 0)
            throw ApiError("班级不存在 (unknown group_id)");
    int64_t created = std::time(nullptr);
    for (int64_t group : groupIds)
        for (int64_t course : courses)
            call.db().run("INSERT INTO tasks (teacher_uid, group_id, course_id, created) VALUES "
                          "(?, ?, ?, ?)",
                          uid, group, course, created);
    return {{"task_num", int64_t(groupIds.size() * courses.size())}};
}

} // namespace

void ClassEndpoints::install(ApiRouter& router) {
    using S = ApiRouter::Signing;
    router.get("/class/group/chat_group", S::Required, groups);
    router.post("/class/group/add_task", S::Required, assign);
}

} // namespace lintavo
