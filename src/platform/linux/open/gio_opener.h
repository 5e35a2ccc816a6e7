#pragma once

#include "platform/launcher_thread.h"
#include "platform/opener.h"
#include "platform/user_notice.h"

#include <chrono>
#include <memory>
#include <optional>

namespace vantrel::platform::linux_backend {

// Opens targets the way the desktop does, through GIO and never through a
// shell: an address goes to its scheme's handler, a .desktop file opens what
// it describes, a program the kernel runs by itself runs, anything else goes
// to the default application for its type. A failure opens nothing and is
// told through the notice, naming the key, the target and the reason; a key
// that fails again replaces its earlier notice. Launches of one target wait
// for one another; a launch stuck in a hung file system holds up nothing
// else.
class GioOpener final : public Opener {
public:
    // notice: shared with the launches, which may outlive the opener.
    explicit GioOpener(std::shared_ptr<UserNotice> notice);

    std::string open(const std::u16string &target) override;
    std::string openBinding(FunctionKey key, const std::u16string &target) override;

    // Whether every launch asked for so far has finished within the time.
    bool finishLaunches(std::chrono::milliseconds limit) { return threads_.waitUntilIdle(limit); }

private:
    std::string start(std::optional<FunctionKey> key, const std::u16string &target);

    std::shared_ptr<UserNotice> notice_;
    LauncherThreads threads_;
};

} // namespace vantrel::platform::linux_backend
