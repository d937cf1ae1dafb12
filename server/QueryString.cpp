#include "QueryString.h"

namespace lintavo {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string QueryString::decode(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            int hi = hexValue(text[i + 1]);
            int lo = hexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out.push_back(char(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

std::string QueryString::encode(const std::string& text) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out.push_back(char(c));
        } else {
            out.push_back('%');
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 15]);
        }
    }
    return out;
}

QueryString::Pairs QueryString::parse(const std::string& query) {
    Pairs pairs;
    size_t pos = 0;
    while (pos <= query.size()) {
        size_t end = query.find('&', pos);
        if (end == std::string::npos)
            end = query.size();
        std::string segment = query.substr(pos, end - pos);
        if (!segment.empty()) {
            size_t eq = segment.find('=');
            if (eq == std::string::npos)
                pairs.emplace_back(decode(segment), std::string());
            else
                pairs.emplace_back(decode(segment.substr(0, eq)), decode(segment.substr(eq + 1)));
        }
        pos = end + 1;
    }
    return pairs;
}

std::string QueryString::queryOf(const std::string& target) {
    size_t q = target.find('?');
    if (q == std::string::npos)
        return std::string();
    std::string query = target.substr(q + 1);
    size_t hash = query.find('#');
    return hash == std::string::npos ? query : query.substr(0, hash);
}

} // namespace lintavo
