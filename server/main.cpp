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

std::string announcedHost(const std::string& bind) {
    // Wildcard and loopback binds are both reachable on the loopback address.
    if (bind == "0.0.0.0" || bind == "::" || bind == "127.0.0.1" || bind == "localhost")
        return "127.0.0.1";
    return bind.find(':') != std::string::npos ? "[" + bind + "]" : bind;
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
    std::printf("listening on http://%s:%d\n", announcedHost(options.bind).c_str(), port);
    std::fflush(stdout);
    bool ok = server.serve();
    running = nullptr;
    return ok ? 0 : 1;
}
