#pragma once

#include "platform/linux/open/launcher_thread.h"
#include "platform/opener.h"

#include <chrono>

namespace vantrel::platform::linux_backend {

// Opens targets the way the desktop does, through GIO and never through a
// shell: an address goes to its scheme's handler, a .desktop file opens what
// it describes, a program the kernel runs by itself runs, anything else goes
// to the default application for its type. Failures open nothing and leave
// one line on standard error. Launches of one target wait for one another;
// a launch stuck in a hung file system holds up nothing else.
class GioOpener final : public Opener {
public:
    std::string open(const std::u16string &target) override;

    // Whether every launch asked for so far has finished within the time.
    bool finishLaunches(std::chrono::milliseconds limit) { return threads_.waitUntilIdle(limit); }

private:
    LauncherThreads threads_;
};

} // namespace vantrel::platform::linux_backend
