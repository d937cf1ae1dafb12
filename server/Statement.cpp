#include "Statement.h"

#include <sqlite3.h>
#include <stdexcept>

namespace lintavo {

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &stmt_, nullptr) != SQLITE_OK)
        throw std::runtime_error("sql prepare failed: " + std::string(sqlite3_errmsg(db)) + " in " +
                                 sql);
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

void Statement::bindInteger(int index, int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
}

void Statement::bind(int index, double value) {
    sqlite3_bind_double(stmt_, index, value);
}

void Statement::bind(int index, const std::string& value) {
    sqlite3_bind_text(stmt_, index, value.data(), int(value.size()), SQLITE_TRANSIENT);
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    std::string message = sqlite3_errmsg(db_);
    sqlite3_reset(stmt_);
    throw std::runtime_error("sql step failed: " + message);
}

int Statement::run() {
    while (step()) {
    }
    return sqlite3_changes(db_);
}

int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}

std::string Statement::text(int column) const {
    auto p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return p ? std::string(p, size_t(sqlite3_column_bytes(stmt_, column))) : std::string();
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

} // namespace lintavo
