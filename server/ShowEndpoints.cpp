#include "ShowEndpoints.h"

#include "ApiError.h"
#include "ApiRouter.h"
#include "ItemBuilder.h"
#include "UploadStorage.h"

#include <ctime>
#include <sstream>
#include <vector>

namespace lintavo {

namespace {

// "overall,accuracy,fluency,integrity,0": five integers from 0 to 100.
std::vector<int64_t> scoresOf(ApiCall& call) {
    std::string text = call.text("score", 40);
    std::vector<int64_t> scores;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        if (!ApiCall::isDigits(part) || std::stoll(part) > 100)
            throw ApiError("参数错误: score (expected five numbers from 0 to 100)");
        scores.push_back(std::stoll(part));
    }
    if (scores.size() != 5)
        throw ApiError("参数错误: score (expected five numbers from 0 to 100)");
    return scores;
}

std::string uploadedKey(ApiCall& call) {
    Json audio = Json::parse(call.text("audio", 300), nullptr, false);
    if (audio.is_discarded() || !audio.is_object() || !audio.contains("key") ||
        !audio["key"].is_string())
        throw ApiError("参数错误: audio (expected {\"key\":\"FILE\"})");
    std::string key = audio["key"].get<std::string>();
    if (!UploadStorage::validKey(key))
        throw ApiError("参数错误: audio (bad file key)");
    return key;
}

Json publish(ApiCall& call) {
    int64_t uid = call.requireUser();
    int64_t course = call.id("course_id");
    std::string key = uploadedKey(call);
    auto scores = scoresOf(call);
    int64_t duration = call.number("dub_duration", 60, 3600);
    if (call.db().scalar(0, "SELECT COUNT(*) FROM courses WHERE id = ?", course) == 0)
        throw ApiError("视频不存在 (unknown course_id)");
    if (call.db().scalar(0, "SELECT COUNT(*) FROM uploads WHERE uid = ? AND key = ?", uid, key) ==
        0)
        throw ApiError("音频文件未上传 (the audio key was never uploaded)");
    call.db().run(
        "INSERT INTO shows (uid, course_id, audio, overall, accuracy, fluency, integrity, "
        "duration, created) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
        uid, course, "upload:" + std::to_string(uid) + "/" + key, scores[0], scores[1], scores[2],
        scores[3], duration, int64_t(std::time(nullptr)));
    int64_t showId = call.db().lastInsertId();
    call.db().run("UPDATE courses SET hot = hot + 1 WHERE id = ?", course);
    return {{"show_id", std::to_string(showId)}};
}

// Best first: highest overall score, the newer dub first on a tie.
Json ranking(ApiCall& call) {
    int64_t course = call.id("course_id");
    call.number("show_student", 0, 1);
    if (call.db().scalar(0, "SELECT COUNT(*) FROM courses WHERE id = ?", course) == 0)
        throw ApiError("视频不存在 (unknown course_id)");
    Statement& row = call.db().query(
        "SELECT s.id, s.uid, u.nickname, u.avatar, s.created, s.overall, s.audio FROM shows s "
        "JOIN users u ON u.id = s.uid WHERE s.course_id = ? ORDER BY s.overall DESC, s.created "
        "DESC, s.id DESC LIMIT ? OFFSET ?",
        course, call.number("rows", 20, 100), call.number("start", 0, 100000));
    ItemBuilder items(call.origin());
    Json list = Json::array();
    while (row.step())
        list.push_back({{"id", std::to_string(row.integer(0))},
                        {"uid", std::to_string(row.integer(1))},
                        {"nickname", row.text(2)},
                        {"avatar", items.mediaUrl(row.text(3))},
                        {"create_time", ItemBuilder::formatTime(row.integer(4))},
                        {"score", row.integer(5)},
                        {"course_id", std::to_string(course)},
                        {"audio", items.audioUrl(row.text(6))}});
    return list;
}

Json detail(ApiCall& call) {
    int64_t showId = call.id("show_id");
    int64_t uid = call.id("uid");
    Statement& row = call.db().query(
        "SELECT s.uid, u.nickname, u.avatar, u.fans, u.follows, s.course_id, c.title, "
        "c.difficulty, c.stem, s.audio, s.overall, s.created, (SELECT COUNT(*) FROM shows "
        "WHERE uid = s.uid) FROM shows s JOIN users u ON u.id = s.uid JOIN courses c ON "
        "c.id = s.course_id WHERE s.id = ? AND s.uid = ?",
        showId, uid);
    if (!row.step())
        throw ApiError("作品不存在 (unknown show_id)");
    ItemBuilder items(call.origin());
    std::string stem = row.text(8);
    return {{"id", std::to_string(showId)},
            {"show_id", std::to_string(showId)},
            {"uid", std::to_string(row.integer(0))},
            {"nickname", row.text(1)},
            {"avatar", items.mediaUrl(row.text(2))},
            {"my_shows", std::to_string(row.integer(12))},
            {"fans", std::to_string(row.integer(3))},
            {"follows", std::to_string(row.integer(4))},
            {"course_id", std::to_string(row.integer(5))},
            {"title", row.text(6)},
            {"difficulty", row.text(7)},
            {"course_video_srt", items.mediaUrl(stem + ".mp4")},
            {"subtitle_en", items.mediaUrl(stem + ".srt")},
            {"audio", items.audioUrl(row.text(9))},
            {"score", row.integer(10)},
            {"create_time", ItemBuilder::formatTime(row.integer(11))}};
}

} // namespace

void ShowEndpoints::install(ApiRouter& router) {
    using S = ApiRouter::Signing;
    router.post("/show/add", S::Required, publish);
    router.get("/StudyShow/course_show", S::Required, ranking);
    router.get("/show/detail", S::Required, detail);
}

} // namespace lintavo
