#include "JsonValue.h"

#include "Utf8.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : s_(text) {}

    bool parseDocument(JsonValue& out) {
        if (!parseValue(out, 0))
            return false;
        skipSpace();
        return pos_ == s_.size();
    }

private:
    static constexpr int kMaxDepth = 64;

    void skipSpace() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
            ++pos_;
    }

    bool literal(const char* word) {
        size_t n = std::char_traits<char>::length(word);
        if (s_.compare(pos_, n, word) != 0)
            return false;
        pos_ += n;
        return true;
    }

    bool parseValue(JsonValue& out, int depth) {
        if (depth > kMaxDepth)
            return false;
        skipSpace();
        if (pos_ >= s_.size())
            return false;
        char c = s_[pos_];
        if (c == '{')
            return parseObject(out, depth);
        if (c == '[')
            return parseArray(out, depth);
        if (c == '"') {
            std::string str;
            if (!parseString(str))
                return false;
            out = JsonValue(std::move(str));
            return true;
        }
        if (literal("true")) {
            out = JsonValue(true);
            return true;
        }
        if (literal("false")) {
            out = JsonValue(false);
            return true;
        }
        if (literal("null")) {
            out = JsonValue();
            return true;
        }
        return parseNumber(out);
    }

    bool parseNumber(JsonValue& out) {
        size_t start = pos_;
        if (pos_ < s_.size() && s_[pos_] == '-')
            ++pos_;
        while (pos_ < s_.size() &&
               (isdigit(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '.' ||
                s_[pos_] == 'e' || s_[pos_] == 'E' || s_[pos_] == '+' || s_[pos_] == '-'))
            ++pos_;
        if (pos_ == start)
            return false;
        std::string text = s_.substr(start, pos_ - start);
        char* end = nullptr;
        double v = std::strtod(text.c_str(), &end);
        if (end == text.c_str() || *end != '\0')
            return false;
        out = JsonValue(v);
        return true;
    }

    bool hex4(unsigned& cp) {
        if (pos_ + 4 > s_.size())
            return false;
        cp = 0;
        for (int i = 0; i < 4; ++i) {
            char h = s_[pos_++];
            cp <<= 4;
            if (h >= '0' && h <= '9')
                cp |= h - '0';
            else if (h >= 'a' && h <= 'f')
                cp |= h - 'a' + 10;
            else if (h >= 'A' && h <= 'F')
                cp |= h - 'A' + 10;
            else
                return false;
        }
        return true;
    }

    bool parseEscape(std::string& out) {
        char e = s_[pos_++];
        switch (e) {
        case '"':
            out += '"';
            return true;
        case '\\':
            out += '\\';
            return true;
        case '/':
            out += '/';
            return true;
        case 'b':
            out += '\b';
            return true;
        case 'f':
            out += '\f';
            return true;
        case 'n':
            out += '\n';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'u': {
            unsigned cp = 0;
            if (!hex4(cp))
                return false;
            if (cp >= 0xD800 && cp < 0xDC00 && s_.compare(pos_, 2, "\\u") == 0) {
                pos_ += 2;
                unsigned low = 0;
                if (!hex4(low))
                    return false;
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            }
            appendUtf8(out, cp);
            return true;
        }
        default:
            return false;
        }
    }

    bool parseString(std::string& out) {
        ++pos_; // opening quote
        while (pos_ < s_.size()) {
            char c = s_[pos_++];
            if (c == '"')
                return true;
            if (c == '\\') {
                if (pos_ >= s_.size() || !parseEscape(out))
                    return false;
            } else {
                out += c;
            }
        }
        return false;
    }

    bool parseArray(JsonValue& out, int depth) {
        ++pos_;
        out = JsonValue::array();
        skipSpace();
        if (pos_ < s_.size() && s_[pos_] == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            JsonValue item;
            if (!parseValue(item, depth + 1))
                return false;
            out.append(std::move(item));
            skipSpace();
            if (pos_ >= s_.size())
                return false;
            char c = s_[pos_++];
            if (c == ']')
                return true;
            if (c != ',')
                return false;
        }
    }

    bool parseObject(JsonValue& out, int depth) {
        ++pos_;
        out = JsonValue::object();
        skipSpace();
        if (pos_ < s_.size() && s_[pos_] == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            skipSpace();
            std::string key;
            if (pos_ >= s_.size() || s_[pos_] != '"' || !parseString(key))
                return false;
            skipSpace();
            if (pos_ >= s_.size() || s_[pos_++] != ':')
                return false;
            JsonValue value;
            if (!parseValue(value, depth + 1))
                return false;
            out.set(key, std::move(value));
            skipSpace();
            if (pos_ >= s_.size())
                return false;
            char c = s_[pos_++];
            if (c == '}')
                return true;
            if (c != ',')
                return false;
        }
    }

    const std::string& s_;
    size_t pos_ = 0;
};

// Decodes one UTF-8 sequence at `i`; malformed bytes are taken as Latin-1.
unsigned nextCodePoint(const std::string& s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i++]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + extra > s.size())
        return c;
    unsigned cp = c & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        unsigned char n = static_cast<unsigned char>(s[i + k]);
        if ((n & 0xC0) != 0x80)
            return c;
        cp = (cp << 6) | (n & 0x3F);
    }
    i += extra;
    return cp;
}

void writeString(std::string& out, const std::string& s) {
    out += '"';
    char buf[16];
    for (size_t i = 0; i < s.size();) {
        unsigned cp = nextCodePoint(s, i);
        if (cp == '"' || cp == '\\') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp >= 0x20 && cp < 0x7F) {
            out += static_cast<char>(cp);
        } else if (cp < 0x10000) {
            std::snprintf(buf, sizeof buf, "\\u%04x", cp);
            out += buf;
        } else {
            unsigned v = cp - 0x10000;
            std::snprintf(buf, sizeof buf, "\\u%04x\\u%04x", 0xD800 + (v >> 10),
                          0xDC00 + (v & 0x3FF));
            out += buf;
        }
    }
    out += '"';
}

const JsonValue& nullValue() {
    static const JsonValue value;
    return value;
}

} // namespace

JsonValue::JsonValue(bool b) : type_(Type::Bool), bool_(b) {}
JsonValue::JsonValue(int n) : type_(Type::Number), number_(n) {}
JsonValue::JsonValue(double n) : type_(Type::Number), number_(n) {}
JsonValue::JsonValue(const char* s) : type_(Type::String), string_(s ? s : "") {}
JsonValue::JsonValue(std::string s) : type_(Type::String), string_(std::move(s)) {}

JsonValue JsonValue::array() {
    JsonValue v;
    v.type_ = Type::Array;
    return v;
}

JsonValue JsonValue::object() {
    JsonValue v;
    v.type_ = Type::Object;
    return v;
}

bool JsonValue::parse(const std::string& text, JsonValue& out) {
    Parser parser(text);
    JsonValue value;
    if (!parser.parseDocument(value)) {
        out = JsonValue();
        return false;
    }
    out = std::move(value);
    return true;
}

const JsonValue& JsonValue::operator[](const std::string& key) const {
    auto it = members_.find(key);
    return it == members_.end() ? nullValue() : it->second;
}

std::string JsonValue::toString(const std::string& fallback) const {
    return type_ == Type::String ? string_ : fallback;
}

double JsonValue::toNumber(double fallback) const {
    return type_ == Type::Number ? number_ : fallback;
}

JsonValue& JsonValue::set(const std::string& key, JsonValue value) {
    type_ = Type::Object;
    auto it = members_.find(key);
    if (it == members_.end())
        order_.push_back(key);
    members_[key] = std::move(value);
    return *this;
}

JsonValue& JsonValue::append(JsonValue value) {
    type_ = Type::Array;
    items_.push_back(std::move(value));
    return *this;
}

std::string JsonValue::serialize() const {
    std::string out;
    write(out);
    return out;
}

void JsonValue::write(std::string& out) const {
    switch (type_) {
    case Type::Null:
        out += "null";
        break;
    case Type::Bool:
        out += bool_ ? "true" : "false";
        break;
    case Type::Number: {
        char buf[32];
        if (std::isfinite(number_) && number_ == std::floor(number_) && std::fabs(number_) < 1e15)
            std::snprintf(buf, sizeof buf, "%.0f", number_);
        else if (std::isfinite(number_))
            std::snprintf(buf, sizeof buf, "%.4g", number_);
        else
            std::snprintf(buf, sizeof buf, "0");
        out += buf;
        break;
    }
    case Type::String:
        writeString(out, string_);
        break;
    case Type::Array:
        out += '[';
        for (size_t i = 0; i < items_.size(); ++i) {
            if (i)
                out += ',';
            items_[i].write(out);
        }
        out += ']';
        break;
    case Type::Object:
        out += '{';
        for (size_t i = 0; i < order_.size(); ++i) {
            if (i)
                out += ',';
            writeString(out, order_[i]);
            out += ':';
            members_.at(order_[i]).write(out);
        }
        out += '}';
        break;
    }
}
