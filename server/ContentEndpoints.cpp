#include "ContentEndpoints.h"

#include "ApiError.h"
#include "ApiRouter.h"
#include "ItemBuilder.h"

#include <algorithm>
#include <random>

namespace lintavo {

namespace {

struct Section {
    const char* id;
    const char* title;
    const char* module;
    const char* where; // which rows feed the section
};

const Section kSections[] = {
    {"1", "热门配音", "course", "WHERE c.category_id = 1 ORDER BY c.hot DESC, c.id"},
    {"2", "精品专辑", "album", "WHERE a.category_id = 2 ORDER BY a.id"},
    {"3", "少儿英语", "blue_course", "WHERE c.nature_id = 3 ORDER BY c.id"},
    {"4", "限时免费", "limit_free", "WHERE a.is_vip = '0' ORDER BY a.id"},
};

constexpr size_t kFirstBatch = 5;

Json sectionItems(ApiCall& call, const Section& section) {
    ItemBuilder items(call.origin());
    bool albums =
        std::string(section.module) == "album" || std::string(section.module) == "limit_free";
    Statement& row = call.db().query(
        (albums ? ItemBuilder::albumSelect() : ItemBuilder::courseSelect()) + section.where);
    Json list = Json::array();
    while (row.step())
        list.push_back(albums ? items.albumItem(row) : items.courseItem(row));
    return list;
}

Json sectionJson(const Section& section, Json items) {
    Json out;
    out["id"] = section.id;
    out["title"] = section.title;
    out["module"] = section.module;
    out[section.module] = std::move(items);
    return out;
}

Json homeIndex(ApiCall& call) {
    Json list = Json::array();
    for (const auto& section : kSections) {
        Json items = sectionItems(call, section);
        if (items.size() > kFirstBatch)
            items.erase(items.begin() + kFirstBatch, items.end());
        list.push_back(sectionJson(section, std::move(items)));
    }
    Json data;
    data["list"] = std::move(list);
    return data;
}

Json homeRefresh(ApiCall& call) {
    std::string module = call.text("module", 20);
    std::string id = call.text("id", 20);
    int64_t num = call.number("num", 10, 20);
    const Section* match = nullptr;
    for (const auto& section : kSections)
        if ((id.empty() || id == section.id) && module == section.module)
            match = &section;
    if (!match)
        throw ApiError("栏目不存在 (unknown section)");
    Json items = sectionItems(call, *match);
    // Another batch: a fresh random pick each time.
    thread_local std::mt19937 random{std::random_device{}()};
    std::shuffle(items.begin(), items.end(), random);
    if (items.size() > size_t(num))
        items.erase(items.begin() + num, items.end());
    return sectionJson(*match, std::move(items));
}

Json natures(ApiCall& call) {
    Json list = Json::array();
    Statement& row = call.db().query("SELECT id, title FROM natures ORDER BY sort");
    while (row.step())
        list.push_back(
            {{"nature_id", std::to_string(row.integer(0))}, {"nature_title", row.text(1)}});
    return list;
}

Json categories(ApiCall& call) {
    std::string type = call.text("type", 20);
    if (!type.empty() && type != "course")
        throw ApiError("分类类型错误 (unknown category type)");
    int64_t parent = call.optionalId("category_id");
    Json list = Json::array();
    Statement& row = call.db().query("SELECT id, title FROM categories WHERE ? = 0 OR id = ? "
                                     "ORDER BY id",
                                     parent, parent);
    while (row.step())
        list.push_back(
            {{"category_id", std::to_string(row.integer(0))}, {"category_title", row.text(1)}});
    return list;
}

Json banners(ApiCall& call) {
    if (call.text("type", 40) != "windows_index_banner")
        throw ApiError("广告位不存在 (unknown banner type)");
    ItemBuilder items(call.origin());
    Json list = Json::array();
    Statement& row =
        call.db().query("SELECT id, type, tyid, title, pic, link FROM banners ORDER BY id");
    while (row.step()) {
        std::string link = row.text(5);
        list.push_back({{"id", std::to_string(row.integer(0))},
                        {"type", row.text(1)},
                        {"tyid", row.text(2)},
                        {"title", row.text(3)},
                        {"pic", items.mediaUrl(row.text(4))},
                        {"url", link.empty() ? std::string() : call.url(link)}});
    }
    return list;
}

Json hotSearches(ApiCall& call) {
    Json video = Json::array();
    Statement& row = call.db().query("SELECT id, keyword FROM hot_searches ORDER BY id");
    while (row.step())
        video.push_back({{"id", std::to_string(row.integer(0))}, {"keyword", row.text(1)}});
    Json data;
    data["video"] = std::move(video);
    return data;
}

} // namespace

void ContentEndpoints::install(ApiRouter& router) {
    using S = ApiRouter::Signing;
    router.get("/basic/nature", S::Required, natures);
    router.get("/basic/cates", S::Required, categories);
    router.get("/advert/lists", S::Required, banners);
    router.get("/search/newHotSearch", S::Required, hotSearches);
    router.get("/windows/home/index", S::Required, homeIndex);
    router.get("/windows/home/refresh", S::Required, homeRefresh);
}

} // namespace lintavo
