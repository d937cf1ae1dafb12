#pragma once

#include "ServerOptions.h"

#include <memory>
#include <string>

namespace lintavo {

class ApiRouter;
class GatedServer;
class MediaLibrary;
class WordDictionary;

// The whole service: prepares the data folder (schema, seed, media), installs every route and
// serves until stop() is called.
class LintavoServer {
public:
    explicit LintavoServer(ServerOptions options);
    ~LintavoServer();

    // Prepares data and binds; returns the bound port, or -1 with a message on stderr.
    // Addresses in answers start with the configured origin, else with the announced one.
    int prepare();
    // Serves until stopped; returns false if serving failed.
    bool serve();
    void stop();

private:
    void prepareData();
    void installRoutes();
    void installMedia();
    void configureServer();

    ServerOptions options_;
    std::string databasePath_;
    std::unique_ptr<GatedServer> server_;
    std::unique_ptr<MediaLibrary> media_;
    std::unique_ptr<WordDictionary> dictionary_;
    std::unique_ptr<ApiRouter> router_;
};

} // namespace lintavo
