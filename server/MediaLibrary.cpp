#include "MediaLibrary.h"

#include "FileLock.h"
#include "PictureGenerator.h"
#include "SeedCatalog.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <regex>
#include <unistd.h>

namespace lintavo {

MediaLibrary::MediaLibrary(std::string mediaDir)
    : mediaDir_(std::move(mediaDir)), generator_(mediaDir_) {
    removeStaleWork();
}

void MediaLibrary::removeStaleWork() const {
    // Temporary names end in "-PID.ext"; only files of dead processes are removed.
    static const std::regex owner(".*-([0-9]{1,9})\\.[a-z0-9]+$");
    std::string work = mediaDir_ + "/.work";
    DIR* dir = ::opendir(work.c_str());
    if (!dir)
        return;
    while (dirent* entry = ::readdir(dir)) {
        std::smatch match;
        std::string name = entry->d_name;
        if (!std::regex_match(name, match, owner))
            continue;
        pid_t pid = pid_t(std::stol(match[1]));
        if (::kill(pid, 0) != 0 && errno == ESRCH)
            ::unlink((work + "/" + name).c_str());
    }
    ::closedir(dir);
}

MediaLibrary::~MediaLibrary() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

std::map<int, std::vector<TimedSentence>> MediaLibrary::prepareTimings() {
    FileLock lock(mediaDir_ + "/.lock-timings");
    std::map<int, std::vector<TimedSentence>> timings;
    const auto& clips = SeedCatalog::clips();
    for (size_t i = 0; i < clips.size(); ++i)
        timings[int(i) + 1] = generator_.ensureTimings(int(i) + 1, clips[i]);
    return timings;
}

bool MediaLibrary::safeName(const std::string& name) {
    static const std::regex pattern(
        "^([A-Za-z0-9][A-Za-z0-9_-]*/)?[A-Za-z0-9][A-Za-z0-9._-]{0,127}$");
    return name.size() < 200 && name.find("..") == std::string::npos &&
           std::regex_match(name, pattern);
}

int MediaLibrary::jobOf(const std::string& name) const {
    auto pictures = PictureGenerator::files();
    if (std::find(pictures.begin(), pictures.end(), name) != pictures.end())
        return kPicturesJob;
    int count = int(SeedCatalog::clips().size());
    for (int id = 1; id <= count; ++id) {
        auto files = MediaGenerator::clipFiles(id);
        if (std::find(files.begin(), files.end(), name) != files.end())
            return id;
    }
    return -1;
}

bool MediaLibrary::runJob(int job) {
    FileLock lock(mediaDir_ + "/.lock-job" + std::to_string(job));
    auto started = std::chrono::steady_clock::now();
    bool ok = job == kPicturesJob
                  ? PictureGenerator(generator_).ensureAll()
                  : generator_.ensureEncoded(job, SeedCatalog::clips()[size_t(job - 1)]);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - started)
                  .count();
    if (ms > 200)
        std::fprintf(stderr, "media: job %d %s in %lld ms\n", job, ok ? "done" : "FAILED",
                     static_cast<long long>(ms));
    return ok;
}

void MediaLibrary::finish(int job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done_.insert(job);
    }
    changed_.notify_all();
}

void MediaLibrary::worker() {
    for (;;) {
        int job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (stopping_ || queue_.empty())
                return;
            job = queue_.front();
            queue_.pop_front();
        }
        runJob(job);
        finish(job);
    }
}

void MediaLibrary::startBackground() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(kPicturesJob);
        for (int id = 1; id <= int(SeedCatalog::clips().size()); ++id)
            queue_.push_back(id);
    }
    thread_ = std::thread(&MediaLibrary::worker, this);
}

void MediaLibrary::generateAllNow() {
    runJob(kPicturesJob);
    finish(kPicturesJob);
    for (int id = 1; id <= int(SeedCatalog::clips().size()); ++id) {
        runJob(id);
        finish(id);
    }
}

std::string MediaLibrary::resolve(const std::string& name, int timeoutMs) {
    if (!safeName(name))
        return std::string();
    std::string path = mediaDir_ + "/" + name;
    if (MediaGenerator::exists(path))
        return path;
    int job = jobOf(name);
    if (job < 0)
        return std::string();
    std::unique_lock<std::mutex> lock(mutex_);
    if (!done_.count(job)) {
        auto queued = std::find(queue_.begin(), queue_.end(), job);
        if (queued != queue_.end()) {
            queue_.erase(queued);
            queue_.push_front(job);
        }
        changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [&] { return done_.count(job) > 0 || stopping_; });
    }
    return MediaGenerator::exists(path) ? path : std::string();
}

} // namespace lintavo
