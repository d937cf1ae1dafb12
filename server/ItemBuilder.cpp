#include "ItemBuilder.h"

#include "ApiError.h"
#include "Database.h"

#include <ctime>

namespace lintavo {

ItemBuilder::ItemBuilder(std::string origin) : origin_(std::move(origin)) {}

const std::string& ItemBuilder::courseSelect() {
    static const std::string sql =
        "SELECT c.id, c.album_id, c.title, c.sub_title, c.course_title, c.difficulty, c.is_vip, "
        "c.duration, c.subtitle_num, c.stem, c.nature_id, c.category_id, c.hot, c.created, "
        "a.title, c.role, c.pronunciation, c.speed FROM courses c JOIN albums a ON a.id = "
        "c.album_id ";
    return sql;
}

const std::string& ItemBuilder::albumSelect() {
    static const std::string sql =
        "SELECT a.id, a.title, a.description, a.difficulty, a.is_vip, a.pic, a.category_id, "
        "(SELECT COUNT(*) FROM courses WHERE album_id = a.id), a.created FROM albums a ";
    return sql;
}

std::string ItemBuilder::mediaUrl(const std::string& name) const {
    return origin_ + "/media/" + name;
}

std::string ItemBuilder::audioUrl(const std::string& stored) const {
    if (stored.rfind("media:", 0) == 0)
        return mediaUrl(stored.substr(6));
    if (stored.rfind("upload:", 0) == 0)
        return origin_ + "/uploads/" + stored.substr(7);
    return std::string();
}

std::string ItemBuilder::formatTime(int64_t epochSeconds) {
    std::time_t t = std::time_t(epochSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M", &tm);
    return buffer;
}

std::string ItemBuilder::formatDate(int64_t epochSeconds) {
    return formatTime(epochSeconds).substr(0, 10);
}

Json ItemBuilder::courseItem(const Statement& row) const {
    std::string id = std::to_string(row.integer(0));
    std::string stem = row.text(9);
    Json item;
    item["module"] = "course";
    item["id"] = id;
    item["course_id"] = id;
    item["album_id"] = std::to_string(row.integer(1));
    item["title"] = row.text(2);
    item["sub_title"] = row.text(3);
    item["course_title"] = row.text(4);
    item["album_title"] = row.text(14);
    item["difficulty"] = row.text(5);
    item["is_vip"] = row.text(6);
    item["duration"] = row.integer(7);
    item["subtitle_num"] = row.integer(8);
    item["pic"] = mediaUrl(stem + "-cover.jpg");
    item["video"] = mediaUrl(stem + ".mp4");
    item["subtitle_en"] = mediaUrl(stem + ".srt");
    item["audio"] = mediaUrl(stem + "-bg.mp3");
    item["nature_id"] = std::to_string(row.integer(10));
    item["category_id"] = std::to_string(row.integer(11));
    item["role"] = std::to_string(row.integer(15));
    item["pronunciation"] = std::to_string(row.integer(16));
    item["speed"] = std::to_string(row.integer(17));
    item["hot"] = row.integer(12);
    item["create_time"] = formatTime(row.integer(13));
    return item;
}

Json ItemBuilder::albumItem(const Statement& row) const {
    std::string id = std::to_string(row.integer(0));
    Json item;
    item["module"] = "album";
    item["id"] = id;
    item["album_id"] = id;
    item["album_title"] = row.text(1);
    item["title"] = row.text(1);
    item["description"] = row.text(2);
    item["difficulty"] = row.text(3);
    item["is_vip"] = row.text(4);
    item["pic"] = mediaUrl(row.text(5));
    item["category_id"] = std::to_string(row.integer(6));
    item["course_num"] = row.integer(7);
    item["create_time"] = formatTime(row.integer(8));
    return item;
}

Json ItemBuilder::userRecord(Database& db, int64_t uid, const std::string& authToken,
                             const std::string& uploadToken) const {
    Statement& row = db.query("SELECT nickname, avatar, COALESCE(mobile, ''), vip_end, svip_end, "
                              "is_teacher FROM users WHERE id = ?",
                              uid);
    if (!row.step())
        throw ApiError("用户不存在 (unknown user)");
    int64_t now = std::time(nullptr);
    int64_t vipEnd = row.integer(3), svipEnd = row.integer(4);
    Json user;
    user["uid"] = std::to_string(uid);
    user["nickname"] = row.text(0);
    user["avatar"] = mediaUrl(row.text(1));
    user["mobile"] = row.text(2);
    user["auth_token"] = authToken;
    user["upload_token"] = uploadToken;
    user["is_vip"] = vipEnd > now ? "1" : "0";
    user["is_svip"] = svipEnd > now ? "1" : "0";
    user["vip_endtime"] = vipEnd > now ? formatDate(vipEnd) : "";
    user["svip_endtime"] = svipEnd > now ? formatDate(svipEnd) : "";
    user["img_url"] = mediaUrl(row.text(1));
    user["is_teacher"] = row.integer(5) ? "1" : "0";
    row.reset();
    return user;
}

} // namespace lintavo
