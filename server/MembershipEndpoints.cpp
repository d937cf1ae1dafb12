#include "MembershipEndpoints.h"

#include "ApiError.h"
#include "ApiRouter.h"
#include "ItemBuilder.h"
#include "RandomToken.h"
#include "WebPages.h"

#include <ctime>
#include <httplib.h>

namespace lintavo {

namespace {

int64_t now() {
    return std::time(nullptr);
}

Json packages(ApiCall& call) {
    int64_t uid = call.requireUser();
    int64_t svip = call.number("svip", 1, 1);
    Statement& row = call.db().query("SELECT id, title, description, amount, days, choose_year "
                                     "FROM packages WHERE svip = ? OR ? = 0 ORDER BY id",
                                     svip, svip);
    Json list = Json::array();
    while (row.step())
        list.push_back({{"id", std::to_string(row.integer(0))},
                        {"title", row.text(1)},
                        {"desc", row.text(2)},
                        {"amount", row.text(3)},
                        {"days", std::to_string(row.integer(4))},
                        {"choose_year", row.text(5)}});
    int64_t vipEnd = call.db().scalar(0, "SELECT vip_end FROM users WHERE id = ?", uid);
    return {{"package_list", list},
            {"is_vip", vipEnd > now() ? "1" : "0"},
            {"vip_endtime", vipEnd > now() ? ItemBuilder::formatDate(vipEnd) : ""}};
}

Json order(ApiCall& call) {
    int64_t uid = call.requireUser();
    int64_t pid = call.id("pid");
    std::string type = call.text("type", 4);
    if (type != "3" && type != "1")
        throw ApiError("参数错误: type (3 WeChat or 1 Alipay)");
    if (call.text("gateway", 20) != "scan")
        throw ApiError("参数错误: gateway (only scan)");
    Statement& row = call.db().query("SELECT amount, days FROM packages WHERE id = ?", pid);
    if (!row.step())
        throw ApiError("套餐不存在 (unknown pid)");
    std::string amount = row.text(0);
    int64_t days = row.integer(1);
    row.reset();
    if (call.text("amount", 20) != amount || call.text("days", 10) != std::to_string(days))
        throw ApiError("套餐信息不符 (amount or days do not match the package)");
    std::string orderNo = ItemBuilder::formatDate(now()).substr(0, 4) + RandomToken::hex(12);
    call.db().run("INSERT INTO orders (order_no, uid, package_id, amount, days, type, gateway, "
                  "created) VALUES (?, ?, ?, ?, ?, ?, 'scan', ?)",
                  orderNo, uid, pid, amount, days, int64_t(std::stoll(type)), now());
    return {{"order_no", orderNo},
            {"code_url", call.url("/pay/order/" + orderNo)},
            {"amount", amount},
            {"days", std::to_string(days)}};
}

// Marks the order paid once and extends the member's time; answers the page text.
std::string pay(Database& db, const std::string& orderNo, int& status) {
    Statement& row = db.query("SELECT uid, days, paid FROM orders WHERE order_no = ?", orderNo);
    if (!row.step()) {
        status = 404;
        return "<p>订单不存在</p>";
    }
    int64_t uid = row.integer(0), days = row.integer(1);
    bool paid = row.integer(2) != 0;
    row.reset();
    status = 200;
    if (!paid) {
        db.exec("BEGIN IMMEDIATE");
        try {
            // Only the request that flips the flag extends the membership.
            if (db.run("UPDATE orders SET paid = 1 WHERE order_no = ? AND paid = 0", orderNo) == 1)
                db.run("UPDATE users SET vip_end = MAX(vip_end, ?) + ? WHERE id = ?", now(),
                       days * 86400, uid);
            db.exec("COMMIT");
        } catch (...) {
            db.resetAll();
            db.exec("ROLLBACK");
            throw;
        }
    }
    int64_t vipEnd = db.scalar(0, "SELECT vip_end FROM users WHERE id = ?", uid);
    return std::string("<p>") + (paid ? "订单已支付" : "支付成功") + "</p>\n<p>会员有效期至 " +
           ItemBuilder::formatDate(vipEnd) + "，重新登录后生效。</p>\n";
}

} // namespace

void MembershipEndpoints::install(ApiRouter& router, httplib::Server& server) {
    using S = ApiRouter::Signing;
    router.post("/funds/vip_list", S::Required, packages);
    router.post("/funds/vipMember", S::Required, order);
    std::string dbPath = router.databasePath();
    server.Get(R"(/pay/order/([0-9a-f]{4,40}))",
               [dbPath](const httplib::Request& req, httplib::Response& res) {
                   Database& db = Database::forThread(dbPath);
                   int status = 200;
                   std::string body = pay(db, req.matches[1].str(), status);
                   db.resetAll();
                   WebPages::sendHtml(res, status, WebPages::page("Lintavo会员支付", body));
               });
}

} // namespace lintavo
