#include "platform/linux/settings/settings_file_watch.h"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace vantrel::platform::linux_backend {

namespace {

// A file written in place shows at its close, and its writes say that it is
// half-written until then; one put there by a rename, made, removed or given
// other rights (an unreadable file made readable) shows at once. A watched
// folder that goes away is looked for anew.
constexpr std::uint32_t kFolderEvents = IN_MODIFY | IN_CLOSE_WRITE | IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM |
                                        IN_DELETE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

bool isFolder(const std::string &path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::unique_ptr<SettingsFileWatch> SettingsFileWatch::create(std::string path, std::string *error)
{
    UniqueFd events(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    UniqueFd timer(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));
    UniqueFd wakeup(::epoll_create1(EPOLL_CLOEXEC));
    std::optional<FileFault> fault;
    for (const UniqueFd *fd : {&events, &timer, &wakeup}) {
        if (!fault && fd->get() < 0)
            fault = FileFault::fromErrno(errno);
    }
    for (const UniqueFd *fd : {&events, &timer}) {
        epoll_event readable{};
        readable.events = EPOLLIN;
        if (!fault && ::epoll_ctl(wakeup.get(), EPOLL_CTL_ADD, fd->get(), &readable) != 0)
            fault = FileFault::fromErrno(errno);
    }
    std::unique_ptr<SettingsFileWatch> watch(
        new SettingsFileWatch(std::move(path), std::move(events), std::move(timer), std::move(wakeup)));
    if (!fault)
        fault = watch->arm();
    if (fault) {
        if (error)
            *error = "Could not watch " + watch->path_ + " for changes: " + fault->reason;
        return nullptr;
    }
    return watch;
}

std::optional<FileFault> SettingsFileWatch::arm()
{
    std::map<std::string, std::set<std::string>> wanted; // folder: names in it
    for (const std::string &file : {path_, writeTargetOf(path_)}) {
        std::string folder = folderOf(file);
        std::string name = nameOf(file);
        while (!isFolder(folder) && folder != "/" && folder != ".") {
            name = nameOf(folder);
            folder = folderOf(folder);
        }
        wanted[folder].insert(name);
    }

    std::map<int, std::set<std::string>> armed;
    std::optional<FileFault> fault;
    for (const auto &[folder, names] : wanted) {
        const int watch = ::inotify_add_watch(events_.get(), folder.c_str(), kFolderEvents);
        if (watch < 0) {
            fault = FileFault::fromErrno(errno);
            continue;
        }
        armed[watch].insert(names.begin(), names.end());
    }
    for (const auto &[watch, names] : names_) {
        if (!armed.contains(watch))
            ::inotify_rm_watch(events_.get(), watch);
    }
    names_ = std::move(armed);
    return fault;
}

bool SettingsFileWatch::collect()
{
    std::uint64_t expirations = 0;
    // Nothing to read (EAGAIN) just means that the timer did not go off.
    [[maybe_unused]] const auto ignored = ::read(timer_.get(), &expirations, sizeof expirations);
    takeIn();
    if (!changed_ || writing_)
        return false;
    if (changedInPlace_) {
        const auto settled = latestInPlaceWrite_ + kSettleTime;
        const auto now = std::chrono::steady_clock::now();
        if (now < settled) {
            const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(settled - now).count();
            itimerspec once{};
            once.it_value.tv_sec = static_cast<time_t>(wait / 1000000000);
            once.it_value.tv_nsec = static_cast<long>(wait % 1000000000);
            ::timerfd_settime(timer_.get(), 0, &once, nullptr);
            return false;
        }
    }
    changed_ = false;
    changedInPlace_ = false;
    return true;
}

void SettingsFileWatch::takeIn()
{
    bool moved = false; // what is to be watched may have moved
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(events_.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // all taken in (EAGAIN)
        for (const char *at = buffer; at < buffer + got;) {
            const auto *event = reinterpret_cast<const inotify_event *>(at);
            at += sizeof(inotify_event) + event->len;
            if (event->mask & IN_Q_OVERFLOW) {
                // Whatever was lost, it may have been the end of a write.
                moved = true;
                writing_ = false;
                ++inPlaceWrites_;
                latestInPlaceWrite_ = std::chrono::steady_clock::now();
                changedInPlace_ = true;
                continue;
            }
            const auto watched = names_.find(event->wd);
            if (watched == names_.end())
                continue;
            if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
                moved = true;
                continue;
            }
            if (event->len == 0 || !watched->second.contains(event->name))
                continue;
            if (event->mask & (IN_MODIFY | IN_CLOSE_WRITE)) {
                ++inPlaceWrites_;
                latestInPlaceWrite_ = std::chrono::steady_clock::now();
                changedInPlace_ = true;
            }
            if (event->mask & IN_MOVED_TO)
                ++renamesIn_;
            if (event->mask & IN_MODIFY) {
                writing_ = true;
                continue;
            }
            // Closed, or another file in its place: no write of it is open.
            writing_ = writing_ && (event->mask & IN_ATTRIB);
            changed_ = true;
            moved = moved || (event->mask & (IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE));
        }
    }
    // A folder made or gone, or a link turned elsewhere, moves what is to be
    // watched. A folder that can no longer be watched is not fatal: every
    // save still reads the file first.
    if (moved) {
        changed_ = true;
        arm();
    }
}

void SettingsFileWatch::waitForNews(std::chrono::milliseconds limit) const
{
    pollfd readable{events_.get(), POLLIN, 0};
    ::poll(&readable, 1, static_cast<int>(limit.count()));
}

} // namespace vantrel::platform::linux_backend
