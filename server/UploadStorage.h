#pragma once

#include <string>

namespace httplib {
class Server;
}

namespace lintavo {

class ApiRouter;

// Storage for the upload program: a file arrives with the session's upload token and a key,
// is streamed to a temporary file under the user's folder, checked against the size limit and
// renamed to its key; published dubs are served back from /uploads/UID/KEY.
class UploadStorage {
public:
    static void install(ApiRouter& router, httplib::Server& server, const std::string& dataDir);
    static bool validKey(const std::string& key);
};

} // namespace lintavo
