#pragma once

#include <string>

namespace lintavo {

// An exclusive advisory lock on a file, so that several service processes sharing one media
// folder never generate the same file at once. Released when destroyed.
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace lintavo
