#pragma once

#include "platform/opener.h"

namespace vantrel::platform::windows_backend {

// Opens a path or address with the shell's "open" verb, shown normally, as
// Explorer would on a double click. A relative path is taken from the
// program's working directory. A failure opens nothing and leaves one line
// on standard error.
class ShellOpener final : public Opener {
public:
    ShellOpener();
    ~ShellOpener() override;
    ShellOpener(const ShellOpener &) = delete;
    ShellOpener &operator=(const ShellOpener &) = delete;

    std::string open(const std::u16string &target) override;

private:
    // Whether this object joined the thread to COM and so must leave it.
    bool comJoined_ = false;
};

} // namespace vantrel::platform::windows_backend
