#include "ApiClient.h"
#include "ServerProcess.h"

#include <QJsonArray>
#include <QtTest>

// Catalogue endpoints read exactly as the client sends them: query templates and builders.
class TestServerContent : public QObject {
    Q_OBJECT

private:
    ServerProcess server_;
    std::unique_ptr<ApiClient> api_;

    QJsonObject anonymous(const QString& path) {
        QString ts = ApiClient::timestamp();
        return api_->getTemplate(path, "uid=%1&auth_token=%2&timestamp=%3&sign=%4", {"0", "", ts},
                                 {{"uid", "0"}, {"auth_token", ""}, {"timestamp", ts}});
    }
    QJsonArray courseList(const QVariantMap& filters) {
        ApiClient::Items items = {{"uid", ""}, {"auth_token", ""}, {"start", "0"}, {"rows", "50"}};
        for (const char* key : {"sort", "nature_id", "role", "pronunciation", "speed", "difficulty",
                                "subtitle_num", "category_id"})
            items.append({key, filters.value(key, "")});
        QJsonObject answer = api_->getBuilt("/course/get_course_list?", items);
        lastMessage_ = answer.value("msg").toString();
        return answer.value("status").toInt() == 1 ? answer.value("data").toArray() : QJsonArray();
    }
    QJsonObject search(const QString& path, const QString& keyword) {
        QString ts = ApiClient::timestamp();
        return api_->getTemplate(
            path, "uid=%1&auth_token=%2&timestamp=%3&keyword=%4&start=0&rows=50&sign=%5",
            {"", "", ts, QString::fromLatin1(QUrl::toPercentEncoding(keyword))},
            {{"uid", ""},
             {"auth_token", ""},
             {"timestamp", ts},
             {"keyword", keyword},
             {"start", 0},
             {"rows", 50}});
    }
    QString lastMessage_;

private slots:
    void initTestCase() {
        QVERIFY(server_.start());
        api_ = std::make_unique<ApiClient>(server_.origin());
    }
    void cleanupTestCase() { server_.stop(); }

    void naturesAndCategories() {
        QJsonArray natures = anonymous("/basic/nature?").value("data").toArray();
        QVERIFY(natures.size() >= 3);
        QVERIFY(!natures[0].toObject().value("nature_title").toString().isEmpty());
        QString ts = ApiClient::timestamp();
        QJsonObject cates = api_->getTemplate(
            "/basic/cates?", "uid=%1&auth_token=%2&timesamp=%3&category_id=%4&type=%5&sign=%6",
            {"", "", ts, "0", "course"},
            {{"uid", ""},
             {"auth_token", ""},
             {"timestamp", ts},
             {"category_id", 0},
             {"type", "course"}});
        QCOMPARE(cates.value("status").toInt(), 1);
        QVERIFY(cates.value("data").toArray().size() >= 2);
    }

    void homeIndexHasEveryModuleWithAbsoluteAddresses() {
        QJsonArray sections =
            anonymous("/windows/home/index?").value("data").toObject().value("list").toArray();
        QStringList modules;
        for (const auto& s : sections) {
            QJsonObject section = s.toObject();
            modules << section.value("module").toString();
            QJsonArray items = section.value(section.value("module").toString()).toArray();
            QVERIFY(!items.isEmpty());
            QVERIFY(items[0].toObject().value("pic").toString().startsWith(
                server_.origin().toString()));
        }
        QCOMPARE(modules, QStringList({"course", "album", "blue_course", "limit_free"}));
        QJsonObject clip = sections[0].toObject().value("course").toArray()[0].toObject();
        for (const char* key : {"course_id", "album_id", "title", "sub_title", "course_title",
                                "difficulty", "video", "subtitle_en", "audio", "is_vip"})
            QVERIFY2(clip.contains(key), key);
        QVERIFY(clip.value("video").toString().contains("http"));
    }

    void bannerTemplateWithDoubleAmpersand() {
        QString ts = ApiClient::timestamp();
        QJsonObject answer =
            api_->getTemplate("/advert/lists?", "uid=%1&auth_token=%2&&timesamp=%3&type=%4&sign=%5",
                              {"0", "", ts, "windows_index_banner"},
                              {{"uid", "0"},
                               {"auth_token", ""},
                               {"timestamp", ts},
                               {"type", "windows_index_banner"}});
        QCOMPARE(answer.value("status").toInt(), 1);
        QSet<QString> types;
        for (const auto& b : answer.value("data").toArray()) {
            QJsonObject banner = b.toObject();
            types << banner.value("type").toString();
            if (banner.value("type") == "advert")
                QCOMPARE(
                    api_->send("GET", QUrl(banner.value("url").toString()).path(), {}).httpStatus,
                    200);
        }
        QCOMPARE(types, QSet<QString>({"course", "album", "advert"}));
    }

    void hotSearchAndRefresh() {
        QJsonArray hot =
            anonymous("/search/newHotSearch?").value("data").toObject().value("video").toArray();
        QCOMPARE(hot.size(), 12);
        QString ts = ApiClient::timestamp();
        QString templ = "uid=%1&auth_token=%2&timesamp=%3&module=%4&id=%5&num=%6&sign=%7";
        QJsonObject refreshed =
            api_->getTemplate("/windows/home/refresh?", templ, {"", "", ts, "course", "1", "10"},
                              {{"uid", ""},
                               {"auth_token", ""},
                               {"timestamp", ts},
                               {"module", "course"},
                               {"id", "1"},
                               {"num", "10"}});
        QCOMPARE(refreshed.value("status").toInt(), 1);
        QCOMPARE(refreshed.value("data").toObject().value("id").toString(), QString("1"));
        QVERIFY(refreshed.value("data").toObject().value("course").toArray().size() <= 10);
        QJsonObject unknown =
            api_->getTemplate("/windows/home/refresh?", templ, {"", "", ts, "nonsense", "9", "10"},
                              {{"uid", ""},
                               {"auth_token", ""},
                               {"timestamp", ts},
                               {"module", "nonsense"},
                               {"id", "9"},
                               {"num", "10"}});
        QCOMPARE(unknown.value("status").toInt(), 0);
    }

    void courseListFiltersAndSort() {
        QCOMPARE(courseList({}).size(), 24);
        for (const auto& c : courseList({{"difficulty", "0"}}))
            QCOMPARE(c.toObject().value("difficulty").toString(), QString("0.5"));
        for (const auto& c : courseList({{"subtitle_num", "3,5"}, {"pronunciation", "1"}})) {
            int n = c.toObject().value("subtitle_num").toInt();
            QVERIFY(n >= 3 && n <= 5);
            QCOMPARE(c.toObject().value("pronunciation").toString(), QString("1"));
        }
        QVERIFY(courseList({{"subtitle_num", "10"}}).isEmpty());
        QJsonArray newest = courseList({{"sort", "new"}, {"nature_id", "3"}});
        QVERIFY(newest.size() >= 2);
        QVERIFY(newest[0].toObject().value("create_time").toString() >=
                newest[1].toObject().value("create_time").toString());
        QJsonArray hot = courseList({{"sort", "hot"}});
        QVERIFY(hot[0].toObject().value("hot").toInt() >= hot[1].toObject().value("hot").toInt());
        QVERIFY(courseList({{"difficulty", "abc"}}).isEmpty());
        QVERIFY(lastMessage_.contains("difficulty"));
        QVERIFY(courseList({{"sort", "' OR 1=1 --"}}).isEmpty());
    }

    void searchTitlesAndSentences() {
        auto titles = [&](const QString& keyword) {
            QStringList out;
            for (const auto& c :
                 search("/search/new_course_album?", keyword).value("data").toArray())
                out << c.toObject().value("title").toString();
            return out;
        };
        QCOMPARE(titles("猫"), QStringList({"The Little Cat 小猫"}));
        QVERIFY(titles("COFFEE").contains("Ordering Coffee 点咖啡"));
        QVERIFY(titles("blueberry").contains("Ordering Coffee 点咖啡")); // a sentence only
        QVERIFY(titles("蓝莓").contains("Ordering Coffee 点咖啡"));
        QVERIFY(titles("' OR '1'='1").isEmpty());
        QVERIFY(titles("%").isEmpty());
        QJsonObject tooLong = search("/search/new_course_album?", QString(300, 'a'));
        QCOMPARE(tooLong.value("status").toInt(), 0);
        QJsonArray albums = search("/search/album_list?", "business").value("data").toArray();
        QCOMPARE(albums.size(), 1);
        QCOMPARE(albums[0].toObject().value("module").toString(), QString("album"));
    }

    void albumsByCategoryAndContents() {
        auto albumList = [&](const QString& category) {
            QString ts = ApiClient::timestamp();
            return api_->getTemplate("/album/get_album_list?",
                                     "uid=%1&timestamp=%2&category_id=%3&start=0&rows=50&sign=%4",
                                     {"0", ts, category},
                                     {{"uid", "0"},
                                      {"timestamp", ts},
                                      {"category_id", category},
                                      {"start", 0},
                                      {"rows", 50}});
        };
        QJsonArray vip = albumList("vip_album").value("data").toArray();
        QCOMPARE(vip.size(), 1);
        QVERIFY(vip[0].toObject().value("is_vip").toString() != "0");
        QCOMPARE(albumList("2").value("data").toArray().size(), 4);
        QCOMPARE(albumList("x;DROP").value("status").toInt(), 0);

        QString ts = ApiClient::timestamp();
        QJsonObject detail = api_->getTemplate(
            "/album/detail?",
            "uid=%1&auth_token=%2&timestamp=%3&album_id=%4&is_from_share=0&sign=%5",
            {"", "", ts, "1"},
            {{"uid", ""},
             {"auth_token", ""},
             {"timestamp", ts},
             {"album_id", "1"},
             {"is_from_share", 0}});
        QCOMPARE(detail.value("data").toObject().value("album_id").toString(), QString("1"));
        QJsonObject courses = api_->getTemplate(
            "/album/course_list?",
            "uid=%1&auth_token=%2&timestamp=%3&album_id=%4&start=0&rows=50&sign=%5",
            {"", "", ts, "1"},
            {{"uid", ""},
             {"auth_token", ""},
             {"timestamp", ts},
             {"album_id", "1"},
             {"start", 0},
             {"rows", 50}});
        QCOMPARE(courses.value("data").toArray().size(), 6);
        QJsonObject missing = api_->getTemplate(
            "/album/detail?",
            "uid=%1&auth_token=%2&timestamp=%3&album_id=%4&is_from_share=0&sign=%5",
            {"", "", ts, "999"},
            {{"uid", ""},
             {"auth_token", ""},
             {"timestamp", ts},
             {"album_id", "999"},
             {"is_from_share", 0}});
        QCOMPARE(missing.value("status").toInt(), 0);
    }

    void courseDetail() {
        auto detail = [&](const QString& id) {
            QString ts = ApiClient::timestamp();
            return api_->getTemplate(
                "/course/detail_new?",
                "uid=%1&auth_token=%2&timestamp=%3&course_id=%4&album_id=&sign=%5",
                {"", "", ts, id},
                {{"uid", ""},
                 {"auth_token", ""},
                 {"timestamp", ts},
                 {"course_id", id},
                 {"album_id", ""}});
        };
        QJsonObject clip = detail("21").value("data").toObject();
        QCOMPARE(clip.value("is_vip").toString(), QString("2"));
        QVERIFY(clip.value("subtitle_en").toString().endsWith("/media/clip21.srt"));
        QCOMPARE(detail("777").value("status").toInt(), 0);
        QCOMPARE(detail("-1").value("status").toInt(), 0);
        QCOMPARE(detail("").value("status").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestServerContent)
#include "TestServerContent.moc"
