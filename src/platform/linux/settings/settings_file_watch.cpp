#include "platform/linux/settings/settings_file_watch.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vantrel::platform::linux_backend {

namespace {

// A file written in place shows at its close; one put there by a rename,
// made, removed or given other rights (an unreadable file made readable) at
// once. A watched folder that goes away is looked for anew.
constexpr std::uint32_t kFolderEvents = IN_CLOSE_WRITE | IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE |
                                        IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

bool isFolder(const std::string &path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::unique_ptr<SettingsFileWatch> SettingsFileWatch::create(std::string path, std::string *error)
{
    UniqueFd fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    std::optional<FileFault> fault;
    if (fd.get() < 0)
        fault = FileFault::fromErrno(errno);
    std::unique_ptr<SettingsFileWatch> watch(new SettingsFileWatch(std::move(path), std::move(fd)));
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
        const int watch = ::inotify_add_watch(fd_.get(), folder.c_str(), kFolderEvents);
        if (watch < 0) {
            fault = FileFault::fromErrno(errno);
            continue;
        }
        armed[watch].insert(names.begin(), names.end());
    }
    for (const auto &[watch, names] : names_) {
        if (!armed.contains(watch))
            ::inotify_rm_watch(fd_.get(), watch);
    }
    names_ = std::move(armed);
    return fault;
}

bool SettingsFileWatch::collect()
{
    bool changed = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd_.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // all taken in (EAGAIN)
        for (const char *at = buffer; at < buffer + got;) {
            const auto *event = reinterpret_cast<const inotify_event *>(at);
            at += sizeof(inotify_event) + event->len;
            if (event->mask & IN_Q_OVERFLOW) {
                changed = true;
                continue;
            }
            const auto watched = names_.find(event->wd);
            if (watched == names_.end())
                continue;
            if ((event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) ||
                (event->len > 0 && watched->second.contains(event->name)))
                changed = true;
        }
    }
    // A folder made or gone, or a link turned elsewhere, moves what is to be
    // watched. A folder that can no longer be watched is not fatal: every
    // save still reads the file first.
    if (changed)
        arm();
    return changed;
}

} // namespace vantrel::platform::linux_backend
