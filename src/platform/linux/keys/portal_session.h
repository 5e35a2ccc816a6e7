#pragma once

#include "platform/key_source.h"

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
    // The portal or the bus went away: no more key will come. Called once.
    std::function<void(const std::string &why)> lost;
};

// The conversation with the desktop's org.freedesktop.portal.GlobalShortcuts
// on a session bus connection of our own, run on a thread of its own with
// its own GLib main context. Nothing it does waits for the desktop on the
// caller's thread, except open(): a dialog the desktop may show for the
// binding never holds up the program.
class PortalSession {
public:
    explicit PortalSession(PortalSessionEvents events);
    // Ends the connection, which gives the keys back to the desktop.
    ~PortalSession();

    PortalSession(const PortalSession &) = delete;
    PortalSession &operator=(const PortalSession &) = delete;

    // Connects, registers our application id where the portal asks for one,
    // and checks that the desktop offers global shortcuts. Waits for that
    // (not for any binding); on failure says why in *error.
    bool open(std::string *error);

    // Binds one shortcut per selected key, releasing the others; the latest
    // selection wins over one still being bound.
    void bind(const KeySelection &keys);

private:
    class Worker;
    std::unique_ptr<Worker> worker_;
};

// Whether the session bus has a portal that offers global shortcuts; asks it
// on a connection of its own, which may start the portal service.
bool portalOffersGlobalShortcuts();

} // namespace vantrel::platform::linux_backend
