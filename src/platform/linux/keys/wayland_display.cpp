#include "platform/linux/keys/wayland_display.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vantrel::platform::linux_backend {

bool waylandDisplayAvailable(std::string *why)
{
    // A socket handed over by whoever started us is the compositor's own.
    if (const char *socket = std::getenv("WAYLAND_SOCKET"); socket && *socket)
        return true;
    const char *named = std::getenv("WAYLAND_DISPLAY");
    const std::string name = named && *named ? named : "wayland-0";
    std::string path = name;
    if (name.front() != '/') {
        const char *runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime) {
            *why = "no Wayland display (XDG_RUNTIME_DIR is not set)";
            return false;
        }
        path = std::string(runtime) + '/' + name;
    }

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        *why = "cannot reach the Wayland display \"" + name + "\" (its path is too long)";
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool reached = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    const int failure = errno;
    if (fd >= 0)
        ::close(fd);
    if (reached)
        return true;
    *why = named && *named ? "cannot reach the Wayland display \"" + name + "\" (" + std::strerror(failure) + ")"
                           : std::string("no Wayland display (WAYLAND_DISPLAY is not set)");
    return false;
}

} // namespace vantrel::platform::linux_backend
