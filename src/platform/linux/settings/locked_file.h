#pragma once

#include <sys/stat.h>

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The file operations of the settings file: advisory locking, whole-file
// reads, and atomic replacement. Knows nothing of the file's contents.
namespace vantrel::platform::linux_backend {

// Why a file operation failed: the errno value, and the reason in words
// (the system's text for it, or a phrase where the system has none).
struct FileFault {
    int error = 0;
    std::string reason;

    static FileFault fromErrno(int error);
};

// A file descriptor, closed when dropped.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd &&other) noexcept : fd_(other.release()) {}
    UniqueFd &operator=(UniqueFd &&other) noexcept;
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;
    ~UniqueFd();

    int get() const { return fd_; }
    int release();

private:
    int fd_ = -1;
};

// An advisory lock (flock) on a lock file kept beside the data file: the
// data file itself is replaced on every write, so it cannot carry the lock.
// Only writers lock; since they replace the data file in one rename, a
// reader always finds a whole file without one. Held until dropped.
class FileLock {
public:
    // Takes the lock, creating the lock file where it is missing, and waits
    // at most maxWait while another process holds it. A lock file that is a
    // symbolic link or not a regular file (a fifo would stall the open) is
    // refused.
    static std::optional<FileFault> acquire(const std::string &lockPath, std::chrono::milliseconds maxWait,
                                            FileLock &lock);

private:
    UniqueFd fd_;
};

// Which file a path held when it was read: a file replaced or written to
// since has another.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileIdentity of(const struct stat &info);
    bool operator==(const FileIdentity &other) const;
};

// The file at path now; one that does not exist when there is none.
std::optional<FileFault> identify(const std::string &path, FileIdentity &identity);

struct FileContents {
    bool exists = false;
    std::string bytes;
    FileIdentity identity;
};

// Reads a regular file whole. A missing file is no fault (exists is false);
// a directory, a device or a file of more than maxBytes is.
std::optional<FileFault> readWholeFile(const std::string &path, std::size_t maxBytes, FileContents &contents);

// Creates the folder the file goes in, and any missing folders above it,
// open to their owner only.
std::optional<FileFault> makeFoldersFor(const std::string &path);

// The folder a path names a file in ("." for a bare name), and the name.
std::string folderOf(const std::string &path);
std::string nameOf(const std::string &path);

// Where a write of the file lands: the file a symbolic link leads to, also
// one that does not exist yet, so that a settings file kept elsewhere and
// linked in (as dotfile managers do) is updated where it lives and the link
// stays; the path itself otherwise. Its folder is given without links, so
// that every path that leads to one file gives the same place.
std::string writeTargetOf(const std::string &path);

// Whether the file may be replaced: its folder must be writable, and so must
// the file where it exists. A file or folder that nobody may write to is
// refused even to root, who would otherwise override the owner's intent.
std::optional<FileFault> checkReplaceable(const std::string &path);

// Replaces the file by one holding bytes, so that at any moment, a crash
// included, the path holds either the whole old or the whole new file: a
// temporary file in the same folder is written and flushed to disk, renamed
// over the old one, and the folder flushed. The file keeps its permission
// bits; a new one gets 0600. Temporary files that a writer killed mid-write
// left behind are removed first. Call with the lock held. Where the file at
// path is no longer the expected one (read before the change was made),
// nothing is replaced and the fault's error is ESTALE: read it again.
std::optional<FileFault> replaceFileAtomically(const std::string &path, std::string_view bytes,
                                               const FileIdentity &expected);

} // namespace vantrel::platform::linux_backend
