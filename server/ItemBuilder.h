#pragma once

#include "Json.h"
#include "Statement.h"

#include <cstdint>
#include <string>

namespace lintavo {

class Database;

// Turns database rows into the maps the client reads: clip items (with every member of the clip
// map, so a card opens its clip without a detail request), album items, ranking entries and the
// logged-in user record. Addresses are absolute, built from the origin the request came to.
class ItemBuilder {
public:
    explicit ItemBuilder(std::string origin);

    // SELECT prefix whose columns courseItem() reads; continue with WHERE/ORDER clauses.
    static const std::string& courseSelect();
    static const std::string& albumSelect();

    Json courseItem(const Statement& row) const;
    Json albumItem(const Statement& row) const;
    Json userRecord(Database& db, int64_t uid, const std::string& authToken,
                    const std::string& uploadToken) const;

    std::string mediaUrl(const std::string& name) const;
    // A show's stored audio reference ("media:NAME" or "upload:UID/KEY") as an address.
    std::string audioUrl(const std::string& stored) const;
    static std::string formatTime(int64_t epochSeconds);
    static std::string formatDate(int64_t epochSeconds);

private:
    std::string origin_;
};

} // namespace lintavo
