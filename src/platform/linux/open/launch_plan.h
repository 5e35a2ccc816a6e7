#pragma once

#include <string>
#include <string_view>

namespace vantrel::platform::linux_backend {

// How a bound target is to be opened, decided from its text, from what the
// file system says about the path and, for a regular file with the execute
// bit, from its first bytes. Nothing but a regular file is ever opened: a
// fifo or a device must never hold us up.
struct LaunchPlan {
    enum class Kind {
        Unopenable,     // reason says why
        Address,        // a URI with a scheme: its scheme's default handler
        DesktopEntry,   // a .desktop file: the application it describes
        Program,        // a program the kernel runs by itself (ELF or "#!"): run directly
        DefaultHandler, // anything else, execute bit or not: the default application for its type
    };
    Kind kind = Kind::Unopenable;
    // The address as given, or the path made absolute (so that nothing in it
    // can be taken for an option).
    std::string location;
    std::string reason;
};

// target: a non-empty address or path, in the file system's bytes. A
// relative path is taken against the working directory.
LaunchPlan planLaunch(std::string_view target);

} // namespace vantrel::platform::linux_backend
