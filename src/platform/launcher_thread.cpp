#include "platform/launcher_thread.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include <pthread.h>

namespace vantrel::platform {

struct LauncherThreads::Shared {
    std::mutex mutex;
    std::condition_variable idle;
    // The targets whose thread runs, with the jobs waiting behind its current one.
    std::map<std::string, std::deque<std::function<void()>>> waiting;

    void run(const std::string &target, std::function<void()> job)
    {
        pthread_setname_np(pthread_self(), "vantrel-launch");
        for (;;) {
            job();
            // What the job holds goes before its lane counts as done.
            job = nullptr;
            const std::lock_guard lock(mutex);
            const auto lane = waiting.find(target);
            if (lane->second.empty()) {
                waiting.erase(lane);
                if (waiting.empty())
                    idle.notify_all();
                return;
            }
            job = std::move(lane->second.front());
            lane->second.pop_front();
        }
    }
};

LauncherThreads::LauncherThreads() : shared_(std::make_shared<Shared>()) {}

LauncherThreads::~LauncherThreads() { waitUntilIdle(kExitWait); }

bool LauncherThreads::post(const std::string &target, std::function<void()> job)
{
    const std::lock_guard lock(shared_->mutex);
    const auto [lane, fresh] = shared_->waiting.try_emplace(target);
    if (!fresh) {
        if (lane->second.size() >= kMaxWaiting)
            return false;
        lane->second.push_back(std::move(job));
        return true;
    }
    try {
        // Detached: the thread keeps what it uses alive, and a thread stuck in
        // the kernel must not keep the program from ending.
        std::thread([shared = shared_, target, job = std::move(job)]() mutable {
            shared->run(target, std::move(job));
        }).detach();
    } catch (const std::system_error &) {
        shared_->waiting.erase(lane);
        if (shared_->waiting.empty())
            shared_->idle.notify_all();
        return false;
    }
    return true;
}

bool LauncherThreads::waitUntilIdle(std::chrono::milliseconds limit)
{
    std::unique_lock lock(shared_->mutex);
    return shared_->idle.wait_for(lock, limit, [&] { return shared_->waiting.empty(); });
}

} // namespace vantrel::platform
