#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

struct sqlite3;
struct sqlite3_stmt;

namespace lintavo {

// One prepared statement; kept in its connection's cache and reset before every use.
class Statement {
public:
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void reset();
    template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
    void bind(int index, T value) {
        bindInteger(index, int64_t(value));
    }
    void bindInteger(int index, int64_t value);
    void bind(int index, double value);
    void bind(int index, const std::string& value);
    void bind(int index, const char* value) { bind(index, std::string(value)); }

    // Advances to the next row; false when done.
    bool step();
    // Runs to completion and returns the number of changed rows.
    int run();

    int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace lintavo
