#include "platform/linux/settings/locked_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace vantrel::platform::linux_backend {

namespace {

std::string temporaryPrefix(const std::string &path) { return nameOf(path) + ".tmp-"; }

std::optional<FileFault> writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return FileFault::fromErrno(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return std::nullopt;
}

std::optional<FileFault> syncFolder(const std::string &folder)
{
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0)
        return FileFault::fromErrno(errno);
    return std::nullopt;
}

// Only writers make temporary files, and only under the exclusive lock; one
// that is there while we hold that lock belongs to a writer that died.
void removeStaleTemporaries(const std::string &path)
{
    const std::string folder = folderOf(path);
    const std::string prefix = temporaryPrefix(path);
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        if (std::string_view(entry->d_name).starts_with(prefix))
            ::unlink((folder + "/" + entry->d_name).c_str());
    }
    ::closedir(dir);
}

// The temporary file, removed again unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string &path) : path_(path + ".tmp-XXXXXX")
    {
        fd_ = UniqueFd(::mkostemp(path_.data(), O_CLOEXEC));
        created_ = fd_.get() >= 0;
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    ~TemporaryFile()
    {
        if (created_ && !renamed_)
            ::unlink(path_.c_str());
    }

    int fd() const { return fd_.get(); }
    std::optional<FileFault> close()
    {
        if (::close(fd_.release()) != 0)
            return FileFault::fromErrno(errno);
        return std::nullopt;
    }
    std::optional<FileFault> renameTo(const std::string &path)
    {
        if (::rename(path_.c_str(), path.c_str()) != 0)
            return FileFault::fromErrno(errno);
        renamed_ = true;
        return std::nullopt;
    }

private:
    std::string path_;
    UniqueFd fd_;
    bool created_ = false;
    bool renamed_ = false;
};

} // namespace

FileFault FileFault::fromErrno(int error) { return {error, std::strerror(error)}; }

std::string folderOf(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

FileIdentity FileIdentity::of(const struct stat &info)
{
    return {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

bool FileIdentity::operator==(const FileIdentity &other) const
{
    const auto same = [](const timespec &a, const timespec &b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    if (!exists || !other.exists)
        return exists == other.exists;
    return device == other.device && inode == other.inode && size == other.size && same(modified, other.modified) &&
           same(changed, other.changed);
}

std::optional<FileFault> identify(const std::string &path, FileIdentity &identity)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        identity = {};
        return errno == ENOENT ? std::nullopt : std::optional(FileFault::fromErrno(errno));
    }
    identity = FileIdentity::of(info);
    return std::nullopt;
}

UniqueFd &UniqueFd::operator=(UniqueFd &&other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

UniqueFd::~UniqueFd()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int UniqueFd::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

std::optional<FileFault> FileLock::acquire(const std::string &lockPath, std::chrono::milliseconds maxWait,
                                           FileLock &lock)
{
    UniqueFd fd(::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.get() < 0) {
        if (errno == ELOOP)
            return FileFault{ELOOP, "its lock file " + lockPath + " is a symbolic link"};
        return FileFault::fromErrno(errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return FileFault::fromErrno(errno);
    if (!S_ISREG(info.st_mode))
        return FileFault{EINVAL, "its lock file " + lockPath + " is not a regular file"};

    // flock has no timeout of its own; poll, so that a lock held by a hung
    // process ends in an error instead of a hang. The pauses stay short: a
    // lock is held for milliseconds, and a long pause would let a busy writer
    // take it again and again before this one looks.
    const auto deadline = std::chrono::steady_clock::now() + maxWait;
    auto pause = std::chrono::microseconds(100);
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return FileFault::fromErrno(errno);
        if (std::chrono::steady_clock::now() >= deadline)
            return FileFault{EWOULDBLOCK, "the file is busy: another program holds its lock"};
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(1000));
    }
    lock.fd_ = std::move(fd);
    return std::nullopt;
}

std::optional<FileFault> readWholeFile(const std::string &path, std::size_t maxBytes, FileContents &contents)
{
    contents = {};
    // Non-blocking, so that a fifo put in the file's place cannot stall the open.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        return FileFault::fromErrno(errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return FileFault::fromErrno(errno);
    if (S_ISDIR(info.st_mode))
        return FileFault::fromErrno(EISDIR);
    if (!S_ISREG(info.st_mode))
        return FileFault{EINVAL, "it is not a regular file"};
    const auto tooLarge = [&] {
        return FileFault{EFBIG, "it is larger than " + std::to_string(maxBytes >> 20) + " MiB"};
    };
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return tooLarge();

    // Read to the end, not to the size seen above: the file may have grown.
    std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > maxBytes)
                return tooLarge();
            bytes.resize(std::min(bytes.size() * 2, maxBytes + 1));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return FileFault::fromErrno(errno);
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    contents.exists = true;
    contents.identity = FileIdentity::of(info);
    contents.bytes = std::move(bytes);
    return std::nullopt;
}

std::optional<FileFault> makeFoldersFor(const std::string &path)
{
    const std::string folder = folderOf(path);
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string level = folder.substr(0, end);
        if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST)
            return FileFault::fromErrno(errno);
        if (end == std::string::npos)
            break;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return FileFault::fromErrno(errno);
    if (!S_ISDIR(info.st_mode))
        return FileFault::fromErrno(ENOTDIR);
    return std::nullopt;
}

std::string writeTargetOf(const std::string &path)
{
    // Followed link by link rather than with realpath, which gives up on a
    // link whose file does not exist yet. As many links as the system follows.
    std::string target = path;
    for (int links = 0; links < 40; ++links) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            break;
        std::string next(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX), '\0');
        const ssize_t length = ::readlink(target.c_str(), next.data(), next.size());
        if (length <= 0)
            break;
        next.resize(static_cast<std::size_t>(length));
        target = next.front() == '/' ? next : folderOf(target) + "/" + next;
    }
    char *folder = ::realpath(folderOf(target).c_str(), nullptr);
    if (!folder)
        return target;
    std::string canonical(folder);
    std::free(folder);
    return (canonical == "/" ? "" : canonical) + "/" + nameOf(target);
}

std::optional<FileFault> checkReplaceable(const std::string &path)
{
    struct stat info {};
    const std::string folder = folderOf(path);
    if (::stat(folder.c_str(), &info) != 0)
        return FileFault::fromErrno(errno);
    if ((info.st_mode & 0222) == 0 || ::access(folder.c_str(), W_OK) != 0)
        return FileFault{EACCES, "Permission denied (its folder is read-only)"};
    if (::lstat(path.c_str(), &info) != 0)
        return errno == ENOENT ? std::nullopt : std::optional(FileFault::fromErrno(errno));
    if (S_ISDIR(info.st_mode))
        return FileFault::fromErrno(EISDIR);
    if (S_ISREG(info.st_mode) && ((info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0))
        return FileFault{EACCES, "Permission denied (the file is read-only)"};
    return std::nullopt;
}

std::optional<FileFault> replaceFileAtomically(const std::string &path, std::string_view bytes,
                                               const FileIdentity &expected)
{
    removeStaleTemporaries(path);

    mode_t mode = 0600;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        mode = info.st_mode & 07777;

    TemporaryFile temporary(path);
    if (temporary.fd() < 0)
        return FileFault::fromErrno(errno);
    if (::fchmod(temporary.fd(), mode) != 0)
        return FileFault::fromErrno(errno);
    if (auto fault = writeAll(temporary.fd(), bytes))
        return fault;
    if (::fsync(temporary.fd()) != 0)
        return FileFault::fromErrno(errno);
    if (auto fault = temporary.close())
        return fault;
    // Editors take no lock: one may have saved the file since it was read.
    FileIdentity now;
    if (auto fault = identify(path, now))
        return fault;
    if (!(now == expected))
        return FileFault{ESTALE, "another program changed it while it was being written"};
    if (auto fault = temporary.renameTo(path))
        return fault;
    return syncFolder(folderOf(path));
}

} // namespace vantrel::platform::linux_backend
