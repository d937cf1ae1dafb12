#pragma once

#include <string>

namespace httplib {
class Server;
}

namespace lintavo {

class ApiRouter;

// Storage for the upload program: a file arrives with the session's upload token and a key, is
// streamed to a temporary file under the user's folder and renamed to its key only when it
// arrived whole, fits the size limit and the user's quota and is audio of its kind. Uploads are
// served back from /uploads/UID/KEY: published dubs to everyone, others to their owner.
class UploadStorage {
public:
    static void install(ApiRouter& router, httplib::Server& server, const std::string& dataDir);
    static bool validKey(const std::string& key);
};

} // namespace lintavo
