#include "Database.h"

#include <sqlite3.h>
#include <stdexcept>
#include <unordered_map>

namespace lintavo {

Database::Database(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw std::runtime_error("cannot open database " + path + ": " + message);
    }
    sqlite3_busy_timeout(db_, 10000);
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=NORMAL");
    exec("PRAGMA foreign_keys=ON");
}

Database::~Database() {
    cache_.clear();
    sqlite3_close(db_);
}

Database& Database::forThread(const std::string& path) {
    thread_local std::unordered_map<std::string, std::unique_ptr<Database>> connections;
    auto& slot = connections[path];
    if (!slot)
        slot = std::make_unique<Database>(path);
    return *slot;
}

void Database::exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("sql exec failed: " + message);
    }
}

Statement& Database::prepare(const std::string& sql) {
    auto& slot = cache_[sql];
    if (!slot)
        slot = std::make_unique<Statement>(db_, sql);
    slot->reset();
    return *slot;
}

int64_t Database::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

void Database::resetAll() {
    for (auto& entry : cache_)
        entry.second->reset();
}

} // namespace lintavo
