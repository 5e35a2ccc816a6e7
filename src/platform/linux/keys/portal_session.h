#pragma once

#include "platform/key_source.h"

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vantrel::platform::linux_backend {

// One signal of the desktop about one of our shortcuts, stamped on arrival.
struct ShortcutSignal {
    FunctionKey key;
    bool activated;
    std::chrono::steady_clock::duration at;
};

// The trigger the desktop assigned to each key it binds for us ("" when it
// assigned none); absent for a key it does not bind.
using DesktopTriggers = std::array<std::optional<std::string>, kFunctionKeyCount>;

// What the session reports, from its own thread.
struct PortalSessionEvents {
    std::function<void(const ShortcutSignal &)> signal;
    std::function<void(const DesktopTriggers &)> triggers;
    // The keys have not worked for a while (since the start, or since the
    // portal or its backend failed), and the session is still asking. Once
    // for each such time; why says what failed last.
    std::function<void(const std::string &why)> unavailable;
    // The session bus went away: no more key will come. Called once.
    std::function<void(const std::string &why)> lost;
};

// The conversation with the desktop's org.freedesktop.portal.GlobalShortcuts
// on a session bus connection of our own, run on a thread of its own with
// its own GLib main context. Nothing waits for the desktop on the caller's
// thread: a portal that is slow to start, hung, or showing the user a dialog
// never holds up the program.
//
// The session keeps the desktop's shortcuts at the selection it was given
// last, whatever happens to the portal: when the portal goes, it asks for it
// again (the bus starts one on demand) with a growing delay; when its
// backend goes, or a request fails, it binds again, also with a growing
// delay. Every change starts from a closed session, one request at a time.
class PortalSession {
public:
    // Starts the thread, which connects and asks for the portal.
    explicit PortalSession(PortalSessionEvents events);
    // Ends the connection, which gives the keys back to the desktop.
    ~PortalSession();

    PortalSession(const PortalSession &) = delete;
    PortalSession &operator=(const PortalSession &) = delete;

    // Binds one shortcut per selected key, releasing the others; the latest
    // selection wins over one still being bound.
    void bind(const KeySelection &keys);

private:
    class Worker;
    std::unique_ptr<Worker> worker_;
};

// Whether the session bus has the desktop portal running, or can start it.
// Asks only the bus itself, never the portal, so a portal that is slow to
// start or hung cannot hold this up.
bool sessionBusHasPortal();

} // namespace vantrel::platform::linux_backend
