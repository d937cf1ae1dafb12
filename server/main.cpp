#include "LintavoServer.h"
#include "ServerOptions.h"

#include <csignal>
#include <cstdio>
#include <string>

namespace {

lintavo::LintavoServer* running = nullptr;

void onSignal(int) {
    if (running)
        running->stop();
}

} // namespace

int main(int argc, char** argv) {
    lintavo::ServerOptions options;
    std::string error;
    if (!options.parse(argc, argv, error)) {
        std::fprintf(stderr, "lintavo-server: %s\n%s", error.c_str(),
                     lintavo::ServerOptions::usage().c_str());
        return 2;
    }
    if (options.helpRequested) {
        std::printf("%s", lintavo::ServerOptions::usage().c_str());
        return 0;
    }
    std::signal(SIGPIPE, SIG_IGN);
    lintavo::LintavoServer server(options);
    int port = server.prepare();
    if (port < 0)
        return 1;
    running = &server;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::printf("listening on http://%s:%d\n", options.announcedHost().c_str(), port);
    std::fflush(stdout);
    bool ok = server.serve();
    running = nullptr;
    return ok ? 0 : 1;
}
