#pragma once

#include "platform/launcher_thread.h"
#include "platform/opener.h"

#include <chrono>

namespace vantrel::platform::windows_backend {

// Opens a path or address with the shell's "open" verb, shown normally, as
// Explorer would on a double click. A relative path is taken from the
// program's working directory. A failure opens nothing: the shell tells it
// in its own error box, and one line on standard error says it too.
//
// Each target is opened on a thread of its own: the shell asks the file
// system about the path first, and a file on a network share that does not
// answer would otherwise hold up the keys, the windows and Exit.
class ShellOpener final : public Opener {
public:
    std::string open(const std::u16string &target) override;

    // Whether every launch asked for so far has finished within the time.
    bool finishLaunches(std::chrono::milliseconds limit) { return threads_.waitUntilIdle(limit); }

private:
    LauncherThreads threads_;
};

} // namespace vantrel::platform::windows_backend
