#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace vantrel::platform {

// The threads launches run on, one per target while it has launches to run.
// Asking a hung network mount about a path blocks its thread in the kernel,
// where nothing can end it: that holds up later launches of the same target
// only, and since no thread is ever joined, it never holds up the end of the
// program either. A thread ends once its target has nothing left to launch.
class LauncherThreads {
public:
    // Launches of one target that may wait behind a launch of it still under
    // way; further ones are refused. Every press is owed its launch, and a
    // quick run of taps on a busy machine can queue dozens of them, so the
    // bound is there only to keep a target on a hung mount from growing for
    // ever.
    static constexpr std::size_t kMaxWaiting = 1024;

    LauncherThreads();
    // Waits up to kExitWait for the launches under way, then leaves the rest
    // to themselves.
    ~LauncherThreads();

    LauncherThreads(const LauncherThreads &) = delete;
    LauncherThreads &operator=(const LauncherThreads &) = delete;

    // Runs job on the thread of target, after the jobs for target posted
    // before it. Returns false, without running it, when too many launches
    // of target are waiting already or no thread could be started.
    bool post(const std::string &target, std::function<void()> job);

    // Whether every job posted so far has finished within the time.
    bool waitUntilIdle(std::chrono::milliseconds limit);

private:
    static constexpr std::chrono::milliseconds kExitWait{500};

    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace vantrel::platform
