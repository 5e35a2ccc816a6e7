#pragma once

#include "platform/linux/open/launcher_thread.h"
#include "platform/opener.h"

namespace vantrel::platform::linux_backend {

// Opens targets the way the desktop does, through GIO and never through a
// shell: an address goes to its scheme's handler, a .desktop file launches
// its application, an executable file runs, anything else goes to the
// default application for its type. Failures open nothing and leave one line
// on standard error.
class GioOpener final : public Opener {
public:
    void open(const std::u16string &target) override;

private:
    void launch(const std::string &target);

    LauncherThread thread_;
};

} // namespace vantrel::platform::linux_backend
