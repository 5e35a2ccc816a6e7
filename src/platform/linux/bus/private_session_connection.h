#pragma once

#include "platform/linux/glib_handles.h"

#include <gio/gio.h>

#include <string>

namespace vantrel::platform::linux_backend {

struct PrivateSessionConnection {
    GObjectPtr<GDBusConnection> connection;
    // Why there is no connection: no session bus at all, or one that could
    // not be reached.
    std::string problem;
    bool busExists = false;
};

// A connection of our own to the user's session bus: when it ends, whatever
// was held through it (a name, a portal session) is given back, and a bus
// that goes away ends only this connection, not the program. The bus is the
// one named by DBUS_SESSION_BUS_ADDRESS, else the one at $XDG_RUNTIME_DIR/bus;
// never one started for us (D-Bus's "autolaunch"), which would outlive the
// program.
PrivateSessionConnection openPrivateSessionConnection();

} // namespace vantrel::platform::linux_backend
