#include "WebPages.h"

#include <httplib.h>

namespace lintavo {

std::string WebPages::escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string WebPages::page(const std::string& title, const std::string& bodyHtml) {
    return "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">\n<title>" +
           escape(title) +
           "</title>\n<style>body{font-family:'PingFang SC',sans-serif;color:#333333;"
           "background:#F6F6F6;margin:40px;text-align:center}</style></head>\n<body>\n<h1>" +
           escape(title) + "</h1>\n" + bodyHtml + "</body></html>\n";
}

void WebPages::sendHtml(httplib::Response& response, int status, const std::string& html) {
    response.status = status;
    response.set_content(html, "text/html; charset=utf-8");
}

void WebPages::install(httplib::Server& server) {
    auto text = [](const std::string& title, const std::string& body) {
        return [title, body](const httplib::Request&, httplib::Response& res) {
            sendHtml(res, 200, page(title, "<p>" + body + "</p>\n"));
        };
    };
    server.Get("/", text("Lintavo", "英语配音学习服务正在运行。"));
    server.Get("/activity/Feedback/agreement/from/1",
               text("Lintavo使用协议和版本声明",
                    "使用本服务即表示您同意遵守本协议。本服务仅供学习使用。"));
    server.Get("/activity/yqPrivacy",
               text("隐私协议", "我们只保存登录所需的账号信息和您发布的配音作品。"));
    server.Get("/activity/vipAgreement",
               text("Lintavo会员协议", "会员在有效期内可以观看和配音全部会员视频。"));
    server.Get(R"(/web/advert/([0-9]{1,6}))", text("开通会员", "开通会员，畅享全部视频和专辑。"));
}

} // namespace lintavo
