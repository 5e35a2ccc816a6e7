#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace vantrel::design {

// Whether a file's place answers. A look at a file on a network mount whose
// server has gone, or on a file system that hangs, can block for minutes, so
// the look is made on a thread of its own, never on the interface thread.
class FolderCheck {
public:
    using Answered = std::shared_ptr<const std::atomic<bool>>;

    virtual ~FolderCheck() = default;

    // Starts a look at the file (a file that is not there answers too) and
    // at its folder, unless a look at it is still under way. The flag turns
    // true once both have answered.
    virtual Answered look(const std::u16string &path) = 0;
};

// Each look on a detached thread, which may stay blocked for as long as the
// file system does: it holds nothing but the path and its flag. A path whose
// look never ends takes one thread, however often it is looked at.
class ThreadFolderCheck final : public FolderCheck {
public:
    Answered look(const std::u16string &path) override;

private:
    std::mutex mutex_;
    std::map<std::u16string, std::shared_ptr<std::atomic<bool>>> underWay_;
};

// The user's home folder, or the empty text where the system names none.
std::u16string homeFolder();

} // namespace vantrel::design
