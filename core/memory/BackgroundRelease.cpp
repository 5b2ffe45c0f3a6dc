#include "memory/BackgroundRelease.h"

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace kinloom {
namespace {

struct Release {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
};

// The releases under way. Joined by wait(), when a later release starts
// after they ended, and at exit, so that no thread outlives the process's
// statics.
class Releases {
  public:
    ~Releases() { waitAll(); }

    void start(std::function<void()> work) {
        auto done = std::make_shared<std::atomic<bool>>(false);
        std::thread thread;
        try {
            thread = std::thread([work = std::move(work), done]() mutable {
                work();
                work = nullptr;
                *done = true;
            });
        } catch (const std::system_error&) {
            work(); // no thread to be had: release here
            return;
        }
        std::lock_guard lock(mutex_);
        joinEnded();
        running_.push_back({std::move(thread), std::move(done)});
    }

    void waitAll() {
        std::vector<Release> running;
        {
            std::lock_guard lock(mutex_);
            running.swap(running_);
        }
        for (Release& release : running)
            release.thread.join();
    }

  private:
    void joinEnded() {
        std::erase_if(running_, [](Release& release) {
            if (!*release.done) return false;
            release.thread.join();
            return true;
        });
    }

    std::mutex mutex_;
    std::vector<Release> running_;
};

Releases& releases() {
    static Releases running;
    return running;
}

} // namespace

void BackgroundRelease::start(std::function<void()> work) {
    releases().start(std::move(work));
}

void BackgroundRelease::wait() {
    releases().waitAll();
}

} // namespace kinloom
