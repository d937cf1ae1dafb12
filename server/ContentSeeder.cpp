#include "ContentSeeder.h"

#include "MediaGenerator.h"
#include "PasswordHasher.h"
#include "RandomToken.h"
#include "SeedCatalog.h"

#include <ctime>

namespace lintavo {

namespace {

const char* kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS natures (id INTEGER PRIMARY KEY, title TEXT NOT NULL, sort INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS categories (id INTEGER PRIMARY KEY, title TEXT NOT NULL, type TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS albums (
  id INTEGER PRIMARY KEY, title TEXT NOT NULL, description TEXT NOT NULL, difficulty TEXT NOT NULL,
  is_vip TEXT NOT NULL, category_id INTEGER NOT NULL, pic TEXT NOT NULL, created INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS courses (
  id INTEGER PRIMARY KEY, album_id INTEGER NOT NULL REFERENCES albums(id),
  nature_id INTEGER NOT NULL, category_id INTEGER NOT NULL, title TEXT NOT NULL,
  sub_title TEXT NOT NULL, course_title TEXT NOT NULL, difficulty TEXT NOT NULL,
  is_vip TEXT NOT NULL, duration INTEGER NOT NULL, role INTEGER NOT NULL,
  pronunciation INTEGER NOT NULL, speed INTEGER NOT NULL, hot INTEGER NOT NULL,
  subtitle_num INTEGER NOT NULL, stem TEXT NOT NULL, created INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS courses_album ON courses(album_id);
CREATE TABLE IF NOT EXISTS sentences (
  course_id INTEGER NOT NULL REFERENCES courses(id), line INTEGER NOT NULL,
  start_ms INTEGER NOT NULL, stop_ms INTEGER NOT NULL, en TEXT NOT NULL, cn TEXT NOT NULL,
  PRIMARY KEY (course_id, line));
CREATE TABLE IF NOT EXISTS users (
  id INTEGER PRIMARY KEY, account TEXT UNIQUE, mobile TEXT UNIQUE, nickname TEXT NOT NULL,
  avatar TEXT NOT NULL, password_hash TEXT NOT NULL, vip_end INTEGER NOT NULL DEFAULT 0,
  svip_end INTEGER NOT NULL DEFAULT 0, is_teacher INTEGER NOT NULL DEFAULT 0,
  wx_openid TEXT UNIQUE, fans INTEGER NOT NULL DEFAULT 0, follows INTEGER NOT NULL DEFAULT 0,
  created INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS sessions (
  auth_token TEXT PRIMARY KEY, upload_token TEXT NOT NULL UNIQUE,
  uid INTEGER NOT NULL REFERENCES users(id), created INTEGER NOT NULL,
  revoked INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS sms_codes (
  mobile TEXT PRIMARY KEY, code TEXT NOT NULL, sent_at INTEGER NOT NULL,
  expires_at INTEGER NOT NULL, attempts INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS favorites (
  uid INTEGER NOT NULL, course_id INTEGER NOT NULL, album_id INTEGER NOT NULL,
  created INTEGER NOT NULL, PRIMARY KEY (uid, course_id, album_id));
CREATE TABLE IF NOT EXISTS uploads (
  uid INTEGER NOT NULL, key TEXT NOT NULL, size INTEGER NOT NULL, created INTEGER NOT NULL,
  PRIMARY KEY (uid, key));
CREATE TABLE IF NOT EXISTS shows (
  id INTEGER PRIMARY KEY, uid INTEGER NOT NULL REFERENCES users(id),
  course_id INTEGER NOT NULL REFERENCES courses(id), audio TEXT NOT NULL,
  overall INTEGER NOT NULL, accuracy INTEGER NOT NULL, fluency INTEGER NOT NULL,
  integrity INTEGER NOT NULL, duration INTEGER NOT NULL, created INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS shows_course ON shows(course_id);
CREATE TABLE IF NOT EXISTS class_groups (
  id INTEGER PRIMARY KEY, teacher_uid INTEGER NOT NULL, name TEXT NOT NULL, image TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS tasks (
  id INTEGER PRIMARY KEY, teacher_uid INTEGER NOT NULL, group_id INTEGER NOT NULL,
  course_id INTEGER NOT NULL, created INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS packages (
  id INTEGER PRIMARY KEY, title TEXT NOT NULL, description TEXT NOT NULL, amount TEXT NOT NULL,
  days INTEGER NOT NULL, choose_year TEXT NOT NULL, svip INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS orders (
  order_no TEXT PRIMARY KEY, uid INTEGER NOT NULL, package_id INTEGER NOT NULL,
  amount TEXT NOT NULL, days INTEGER NOT NULL, type INTEGER NOT NULL, gateway TEXT NOT NULL,
  paid INTEGER NOT NULL DEFAULT 0, created INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS wechat_codes (
  code_id TEXT PRIMARY KEY, app_id TEXT NOT NULL, created INTEGER NOT NULL,
  openid TEXT, auth_code TEXT, delivered INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS wechat_users (
  openid TEXT PRIMARY KEY, nickname TEXT NOT NULL, sex TEXT NOT NULL, avatar TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS wechat_auth (
  auth_code TEXT PRIMARY KEY, openid TEXT NOT NULL, access_token TEXT NOT NULL,
  created INTEGER NOT NULL, used INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS hot_searches (id INTEGER PRIMARY KEY, keyword TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS banners (
  id INTEGER PRIMARY KEY, type TEXT NOT NULL, tyid TEXT NOT NULL, title TEXT NOT NULL,
  pic TEXT NOT NULL, link TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS words (
  word TEXT PRIMARY KEY, uk TEXT NOT NULL, us TEXT NOT NULL, meaning TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS sms_sends (
  mobile TEXT NOT NULL, address TEXT NOT NULL, sent_at INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS sms_sends_mobile ON sms_sends(mobile, sent_at);
CREATE INDEX IF NOT EXISTS sms_sends_address ON sms_sends(address, sent_at);
CREATE TABLE IF NOT EXISTS login_failures (
  key TEXT PRIMARY KEY, failures INTEGER NOT NULL, last_at INTEGER NOT NULL,
  blocked_until INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS wechat_phones (
  phone_key TEXT PRIMARY KEY, openid TEXT NOT NULL);
)SQL";

} // namespace

ContentSeeder::ContentSeeder(Database& db) : db_(db) {}

void ContentSeeder::createSchema() {
    db_.exec(kSchema);
}

bool ContentSeeder::isSeeded() {
    return db_.scalar(0, "SELECT COUNT(*) FROM meta WHERE key = 'seeded'") > 0;
}

void ContentSeeder::seed(const std::map<int, std::vector<TimedSentence>>& timings) {
    int64_t now = std::time(nullptr);
    db_.exec("BEGIN IMMEDIATE");
    try {
        if (isSeeded()) { // another process won the race
            db_.exec("COMMIT");
            return;
        }
        seedCatalog(timings, now);
        seedUsers(now);
        seedShows(now);
        seedExtras();
        db_.run("INSERT INTO meta (key, value) VALUES ('seeded', ?)", std::to_string(now));
        db_.resetAll();
        db_.exec("COMMIT");
    } catch (...) {
        db_.resetAll();
        db_.exec("ROLLBACK");
        throw;
    }
}

void ContentSeeder::seedCatalog(const std::map<int, std::vector<TimedSentence>>& timings,
                                int64_t now) {
    const auto& natures = SeedCatalog::natures();
    for (size_t i = 0; i < natures.size(); ++i)
        db_.run("INSERT INTO natures (id, title, sort) VALUES (?, ?, ?)", int64_t(i + 1),
                natures[i], int64_t(i));
    const auto& categories = SeedCatalog::categories();
    for (size_t i = 0; i < categories.size(); ++i)
        db_.run("INSERT INTO categories (id, title, type) VALUES (?, ?, 'course')", int64_t(i + 1),
                categories[i]);
    const auto& albums = SeedCatalog::albums();
    for (size_t i = 0; i < albums.size(); ++i) {
        const auto& a = albums[i];
        db_.run("INSERT INTO albums (id, title, description, difficulty, is_vip, category_id, pic, "
                "created) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                int64_t(i + 1), a.title, a.description, a.difficulty, a.isVip, int64_t(a.category),
                "album-" + std::to_string(i + 1) + ".jpg", now - int64_t(40 - i) * 86400);
    }
    const auto& clips = SeedCatalog::clips();
    for (size_t i = 0; i < clips.size(); ++i) {
        const auto& c = clips[i];
        int64_t id = int64_t(i + 1);
        const auto& timed = timings.at(int(id));
        db_.run("INSERT INTO courses (id, album_id, nature_id, category_id, title, sub_title, "
                "course_title, difficulty, is_vip, duration, role, pronunciation, speed, hot, "
                "subtitle_num, stem, created) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                "?, ?)",
                id, int64_t(c.album), int64_t(c.nature), int64_t(c.category), c.title, c.subTitle,
                albums[size_t(c.album - 1)].title, c.difficulty, c.isVip,
                int64_t(ClipLayout::clipLengthMs(timed) / 1000), int64_t(c.role),
                int64_t(SeedCatalog::pronunciationOf(c)), int64_t(SeedCatalog::speedOf(c)),
                int64_t((id * 37) % 100 * 10 + 5), int64_t(timed.size()),
                SeedCatalog::clipStem(int(id)), now - int64_t(30 - i) * 86400);
        for (const auto& s : timed)
            db_.run("INSERT INTO sentences (course_id, line, start_ms, stop_ms, en, cn) VALUES "
                    "(?, ?, ?, ?, ?, ?)",
                    id, int64_t(s.line), int64_t(s.startMs), int64_t(s.stopMs), s.en, s.cn);
    }
}

void ContentSeeder::seedUsers(int64_t now) {
    const auto& users = SeedCatalog::users();
    for (size_t i = 0; i < users.size(); ++i) {
        const auto& u = users[i];
        // Accounts without a demo password get a random one nobody knows.
        std::string password = u.password.empty() ? RandomToken::hex(16) : u.password;
        db_.run("INSERT INTO users (id, account, mobile, nickname, avatar, password_hash, vip_end, "
                "is_teacher, fans, follows, created) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                int64_t(i + 1), u.account, u.mobile, u.nickname,
                "avatar-" + std::to_string(i + 1) + ".png", PasswordHasher::hash(password),
                u.vip ? now + 365 * 86400 : int64_t(0), int64_t(u.teacher ? 1 : 0),
                int64_t(i * 13 % 50), int64_t(i * 7 % 20), now - 100 * 86400);
    }
    db_.run("INSERT INTO class_groups (id, teacher_uid, name, image) VALUES (1, 3, '三年二班', "
            "'group-1.png')");
    db_.run("INSERT INTO class_groups (id, teacher_uid, name, image) VALUES (2, 3, "
            "'英语兴趣小组', 'group-2.png')");
}

void ContentSeeder::seedShows(int64_t now) {
    const int64_t authors[] = {4, 5, 6, 2};
    for (int clip = 1; clip <= 8; ++clip) {
        if (!MediaGenerator::hasSampleDub(clip))
            continue;
        int count = 2 + clip % 3;
        for (int k = 0; k < count; ++k) {
            int64_t overall = 60 + (clip * 17 + k * 11) % 38;
            db_.run("INSERT INTO shows (uid, course_id, audio, overall, accuracy, fluency, "
                    "integrity, duration, created) VALUES (?, ?, ?, ?, ?, ?, ?, 60, ?)",
                    authors[k], int64_t(clip), "media:" + MediaGenerator::sampleDubName(clip),
                    overall, overall - 3, overall + 1 > 100 ? int64_t(100) : overall + 1,
                    int64_t(95), now - int64_t(clip * 3600 + k * 86400));
        }
    }
}

void ContentSeeder::seedExtras() {
    const auto& hot = SeedCatalog::hotSearches();
    for (size_t i = 0; i < hot.size(); ++i)
        db_.run("INSERT INTO hot_searches (id, keyword) VALUES (?, ?)", int64_t(i + 1), hot[i]);
    db_.run("INSERT INTO banners (id, type, tyid, title, pic, link) VALUES "
            "(1, 'course', '1', '点一杯咖啡', 'banner-1.jpg', '')");
    db_.run("INSERT INTO banners (id, type, tyid, title, pic, link) VALUES "
            "(2, 'album', '4', '商务英语专辑', 'banner-2.jpg', '')");
    db_.run("INSERT INTO banners (id, type, tyid, title, pic, link) VALUES "
            "(3, 'advert', '0', '开通会员', 'banner-3.jpg', '/web/advert/3')");
    db_.run("INSERT INTO packages (id, title, description, amount, days, choose_year, svip) VALUES "
            "(1, '月度会员', '1个月', '30', 30, '0', 1)");
    db_.run("INSERT INTO packages (id, title, description, amount, days, choose_year, svip) VALUES "
            "(2, '年度会员', '12个月', '198', 365, '1', 1)");
    db_.run("INSERT INTO packages (id, title, description, amount, days, choose_year, svip) VALUES "
            "(3, '季度会员', '3个月', '68', 90, '0', 1)");
}

std::vector<std::string> ContentSeeder::demoAccountLines() {
    std::vector<std::string> lines;
    const char* roles[] = {"learner", "VIP member", "teacher"};
    const auto& users = SeedCatalog::users();
    for (size_t i = 0; i < 3 && i < users.size(); ++i)
        lines.push_back(std::string("demo ") + roles[i] + ": account " + users[i].account +
                        " / mobile " + users[i].mobile + " / password " + users[i].password);
    return lines;
}

} // namespace lintavo
