// Minimal JSON document model: enough to read the engine's configuration and
// parameter documents and to write result messages, without pulling in a
// third-party dependency.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    JsonValue() = default;
    JsonValue(bool b);
    JsonValue(int n);
    JsonValue(double n);
    JsonValue(const char* s);
    JsonValue(std::string s);

    static JsonValue array();
    static JsonValue object();
    // Returns false and leaves `out` null when `text` is not one JSON value.
    static bool parse(const std::string& text, JsonValue& out);

    Type type() const { return type_; }
    bool isObject() const { return type_ == Type::Object; }
    bool isString() const { return type_ == Type::String; }
    bool isNumber() const { return type_ == Type::Number; }

    // Lookups never throw: a missing member or wrong type yields a null value.
    const JsonValue& operator[](const std::string& key) const;
    std::string toString(const std::string& fallback = std::string()) const;
    double toNumber(double fallback = 0) const;
    const std::vector<JsonValue>& items() const { return items_; }
    const std::map<std::string, JsonValue>& members() const { return members_; }

    JsonValue& set(const std::string& key, JsonValue value);
    JsonValue& append(JsonValue value);

    // Compact text; non-ASCII characters are written as \u escapes so the
    // message survives readers that take the bytes as Latin-1.
    std::string serialize() const;

private:
    void write(std::string& out) const;

    Type type_ = Type::Null;
    bool bool_ = false;
    double number_ = 0;
    std::string string_;
    std::vector<JsonValue> items_;
    std::map<std::string, JsonValue> members_;
    std::vector<std::string> order_; // members in insertion order for output
};
