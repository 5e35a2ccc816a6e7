#include "platform/linux/open/child_reaper.h"

#include <sys/epoll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <pthread.h>

#include <cerrno>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>

namespace vantrel::platform::linux_backend {

namespace {

void waitFor(pid_t child)
{
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// A pidfd becomes readable once its process has ended; the wait then
// returns at once.
class Reaper {
public:
    Reaper() : ready_(::epoll_create1(EPOLL_CLOEXEC)) {}

    // False when this child could not be given to the reaping thread.
    bool adopt(pid_t child)
    {
        if (ready_ < 0 || !startThread())
            return false;
        // Through syscall(): glibc's own declaration is not usable from C++.
        const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
        if (pidfd < 0)
            return false;
        epoll_event event{};
        // Reported once: the pidfd stays readable from the end on.
        event.events = EPOLLIN | EPOLLONESHOT;
        event.data.u64 = (static_cast<std::uint64_t>(child) << 32) | static_cast<std::uint32_t>(pidfd);
        if (::epoll_ctl(ready_, EPOLL_CTL_ADD, pidfd, &event) != 0) {
            ::close(pidfd);
            return false;
        }
        return true;
    }

private:
    bool startThread()
    {
        std::call_once(started_, [this] {
            try {
                std::thread([this] { run(); }).detach();
                running_ = true;
            } catch (const std::system_error &) {
            }
        });
        return running_;
    }

    void run()
    {
        pthread_setname_np(pthread_self(), "vantrel-reaper");
        epoll_event ended[64];
        for (;;) {
            const int count = ::epoll_wait(ready_, ended, 64, -1);
            for (int i = 0; i < count; ++i) {
                const auto pid = static_cast<pid_t>(ended[i].data.u64 >> 32);
                const auto pidfd = static_cast<int>(ended[i].data.u64 & 0xFFFFFFFFu);
                // Out of the set before it is closed: a child that another
                // part of the program forks holds its own copy of the pidfd
                // until it execs, which would keep it in the set under a
                // number soon reused.
                ::epoll_ctl(ready_, EPOLL_CTL_DEL, pidfd, nullptr);
                ::close(pidfd);
                waitFor(pid);
            }
        }
    }

    int ready_;
    std::once_flag started_;
    bool running_ = false;
};

} // namespace

void reapWhenEnded(pid_t child)
{
    // Never destroyed: its thread runs until the process ends.
    static Reaper *const reaper = new Reaper;
    if (reaper->adopt(child))
        return;
    try {
        std::thread([child] { waitFor(child); }).detach();
    } catch (const std::system_error &) {
        // No thread to spare: the caller waits instead.
        waitFor(child);
    }
}

} // namespace vantrel::platform::linux_backend
