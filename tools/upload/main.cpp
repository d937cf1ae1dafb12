// upload -token TOKEN -local FILE -key KEY
// Stores FILE under KEY with the user's upload token. Progress goes to
// standard output as JSON lines; exit code 0 only once the service has
// confirmed the stored file, otherwise a one-line reason on standard error.
#include "UploadJob.h"

#include <csignal>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // A service that refuses the file closes the connection mid-body; that
    // is an answer to report, not a reason to die.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    UploadJob::Options options;
    std::string error;
    if (!UploadJob::parseArguments(argc, argv, options, error)) {
        std::cerr << "upload: " << error << std::endl;
        return UploadJob::Usage;
    }
    const char* origin = std::getenv("LINTAVO_API_ORIGIN");
    UploadJob job(origin && *origin ? origin : LINTAVO_API_ORIGIN, std::cout);
    const UploadJob::Result result = job.run(options);
    if (result != UploadJob::Stored)
        std::cerr << "upload: " << job.error() << std::endl;
    return result;
}
