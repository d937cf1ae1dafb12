#pragma once

#include "ClipLayout.h"
#include "MediaGenerator.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace lintavo {

// The generated media folder. Subtitles and voice tracks are made at start; pictures and the
// encoded clip files are made by one background thread, and a request for a file that is not
// there yet waits until its job is done (the job is moved to the front of the queue).
class MediaLibrary {
public:
    explicit MediaLibrary(std::string mediaDir);
    ~MediaLibrary();

    std::map<int, std::vector<TimedSentence>> prepareTimings();
    void startBackground();
    void generateAllNow();
    // Absolute path of a media file, waiting up to `timeoutMs` for its generation; "" if the name
    // is unsafe, unknown or could not be made.
    std::string resolve(const std::string& name, int timeoutMs);
    static bool safeName(const std::string& name);
    const MediaGenerator& generator() const { return generator_; }
    const std::string& directory() const { return mediaDir_; }

private:
    static constexpr int kPicturesJob = 0;
    int jobOf(const std::string& name) const;
    // Removes temporary files left behind by generator processes that no longer run.
    void removeStaleWork() const;
    bool runJob(int job);
    void worker();
    void finish(int job);

    std::string mediaDir_;
    MediaGenerator generator_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<int> queue_;
    std::set<int> done_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace lintavo
