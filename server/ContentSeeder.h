#pragma once

#include "ClipLayout.h"
#include "Database.h"

#include <map>
#include <string>
#include <vector>

namespace lintavo {

// Creates the schema of an empty data folder and fills it with the seeded content and demo
// accounts; a database that was seeded before is left as it is.
class ContentSeeder {
public:
    explicit ContentSeeder(Database& db);

    void createSchema();
    bool isSeeded();
    void seed(const std::map<int, std::vector<TimedSentence>>& timings);
    // Lines describing the demo accounts, printed at start.
    static std::vector<std::string> demoAccountLines();

private:
    void seedCatalog(const std::map<int, std::vector<TimedSentence>>& timings, int64_t now);
    void seedUsers(int64_t now);
    void seedShows(int64_t now);
    void seedExtras();

    Database& db_;
};

} // namespace lintavo
