#pragma once

#include <chrono>
#include <functional>
#include <thread>

struct _GMainContext;
struct _GMainLoop;

namespace vantrel::platform::linux_backend {

// A thread of its own running a GLib main context, on which every launch
// happens. Reading a .desktop file, asking a slow or hung file system about a
// path and spawning a program then never hold up the user interface, and
// GIO's asynchronous launches complete whatever event loop the host runs.
class LauncherThread {
public:
    LauncherThread();
    // Lets launches under way finish, up to a bound, then stops the thread.
    ~LauncherThread();

    LauncherThread(const LauncherThread &) = delete;
    LauncherThread &operator=(const LauncherThread &) = delete;

    // Runs job on the thread, after the jobs posted before it. The job may
    // start asynchronous GIO work: the context is its thread-default one.
    void post(std::function<void()> job);

    // Called on the thread by a job around asynchronous work it starts, so
    // that stopping waits for that work.
    void beginPending() { ++pending_; }
    void endPending();

private:
    static constexpr std::chrono::milliseconds kStopWait{2000};

    void run();
    void stopWhenIdle();

    _GMainContext *context_;
    _GMainLoop *loop_;
    int pending_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace vantrel::platform::linux_backend
