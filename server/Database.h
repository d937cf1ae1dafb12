#pragma once

#include "Statement.h"

#include <map>
#include <memory>
#include <string>

struct sqlite3;

namespace lintavo {

// A SQLite connection in WAL mode with a cache of prepared statements. Connections are not
// shared between threads: each worker thread gets its own through forThread().
class Database {
public:
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static Database& forThread(const std::string& path);

    void exec(const std::string& sql);
    Statement& prepare(const std::string& sql);

    template <typename... Args> Statement& query(const std::string& sql, const Args&... args) {
        Statement& st = prepare(sql);
        int index = 1;
        (st.bind(index++, args), ...);
        return st;
    }
    template <typename... Args> int run(const std::string& sql, const Args&... args) {
        return query(sql, args...).run();
    }
    // First column of the first row as integer, or `fallback` when there is no row.
    template <typename... Args>
    int64_t scalar(int64_t fallback, const std::string& sql, const Args&... args) {
        Statement& st = query(sql, args...);
        int64_t value = st.step() ? st.integer(0) : fallback;
        st.reset();
        return value;
    }

    int64_t lastInsertId() const;
    // Ends every statement left mid-way so that no stale read snapshot outlives a request.
    void resetAll();

private:
    sqlite3* db_ = nullptr;
    std::map<std::string, std::unique_ptr<Statement>> cache_;
};

} // namespace lintavo
