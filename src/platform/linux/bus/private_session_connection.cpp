#include "platform/linux/bus/private_session_connection.h"

#include <sys/stat.h>

#include <cstdlib>
#include <optional>

namespace vantrel::platform::linux_backend {

namespace {

std::optional<std::string> sessionBusAddress()
{
    if (const char *address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return address;
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
        return std::nullopt;
    const std::string path = std::string(runtime) + "/bus";
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode))
        return std::nullopt;
    const GCharPtr escaped(g_dbus_address_escape_value(path.c_str()));
    return "unix:path=" + std::string(escaped.get());
}

} // namespace

PrivateSessionConnection openPrivateSessionConnection()
{
    PrivateSessionConnection result;
    const auto address = sessionBusAddress();
    if (!address) {
        result.problem = "no session bus (DBUS_SESSION_BUS_ADDRESS is not set)";
        return result;
    }
    result.busExists = true;
    GError *raw = nullptr;
    result.connection.reset(g_dbus_connection_new_for_address_sync(
        address->c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &raw));
    if (!result.connection) {
        const GErrorPtr error(raw);
        g_dbus_error_strip_remote_error(error.get());
        result.problem = std::string("cannot reach the session bus: ") + error->message;
    }
    return result;
}

} // namespace vantrel::platform::linux_backend
