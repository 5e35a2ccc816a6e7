#pragma once

#include "platform/linux/settings/locked_file.h"
#include "platform/registry_watch.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace vantrel::platform::linux_backend {

// Watches the settings file through its folder (inotify), since writers
// replace the file by renaming another over it, and the file itself may not
// exist yet. Where the file is a symbolic link, the folder of the file it
// leads to is watched as well; where a folder is missing, the nearest one
// that exists is watched for its making.
//
// A file written in place is half-written until its writer closes it, and
// the system tells of a write a moment after its bytes are in the file (on
// a busy machine, a long moment). So a change is told only at the end of a
// write: a file renamed into place at once, one written in place once it has
// been left alone for kSettleTime after its writer closed it.
class SettingsFileWatch final : public RegistryWatch {
public:
    static constexpr std::chrono::milliseconds kSettleTime{300};

    static std::unique_ptr<SettingsFileWatch> create(std::string path, std::string *error);

    // Readable on news of the file, and when a write in place has settled.
    RegistryWatchWakeup wakeup() const override { return {wakeup_.get(), nullptr}; }
    bool collect() override;

    // For readers that must not take a half-written file. takeIn() follows
    // what happened since it was last called; then writeUnderWay() says
    // whether another program has the file open with writes not yet closed,
    // and inPlaceWrites() counts every write and close of it so far, so
    // that a read during which it moved can be told from a clean one.
    void takeIn();
    bool writeUnderWay() const { return writing_; }
    std::uint64_t inPlaceWrites() const { return inPlaceWrites_; }
    // Files renamed into its place so far.
    std::uint64_t renamesIn() const { return renamesIn_; }
    // Waits at most limit for something to take in.
    void waitForNews(std::chrono::milliseconds limit) const;

private:
    SettingsFileWatch(std::string path, UniqueFd events, UniqueFd timer, UniqueFd wakeup)
        : path_(std::move(path)), events_(std::move(events)), timer_(std::move(timer)), wakeup_(std::move(wakeup))
    {
    }

    // Watches the folders that lead to the file as things stand now.
    std::optional<FileFault> arm();

    std::string path_;
    UniqueFd events_;                            // inotify
    UniqueFd timer_;                             // goes off when a write in place may have settled
    UniqueFd wakeup_;                            // epoll over both
    std::map<int, std::set<std::string>> names_; // by watch: the entries of its folder that matter
    bool changed_ = false;                       // and not yet told
    bool changedInPlace_ = false;                // among the changes not yet told
    bool writing_ = false;
    std::uint64_t inPlaceWrites_ = 0;
    std::uint64_t renamesIn_ = 0;
    std::chrono::steady_clock::time_point latestInPlaceWrite_{};
};

} // namespace vantrel::platform::linux_backend
