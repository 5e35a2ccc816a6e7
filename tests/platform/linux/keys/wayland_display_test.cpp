#include "platform/linux/keys/wayland_display.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using vantrel::platform::linux_backend::waylandDisplayAvailable;

// A socket that listens where a compositor's would.
class ListeningSocket {
public:
    explicit ListeningSocket(const fs::path &path) : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        listening_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
                     ::listen(fd_, 4) == 0;
    }
    ~ListeningSocket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool listening() const { return listening_; }

private:
    int fd_;
    bool listening_ = false;
};

TEST(WaylandDisplay, TheCompositorsSocketIsLookedForWhereLibwaylandLooks)
{
    const fs::path runtime = fs::temp_directory_path() / ("vantrel-wayland-" + std::to_string(::getpid()));
    fs::create_directories(runtime);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::unsetenv("WAYLAND_SOCKET");
    std::string why;

    ::unsetenv("WAYLAND_DISPLAY");
    EXPECT_FALSE(waylandDisplayAvailable(&why));
    EXPECT_EQ(why, "no Wayland display (WAYLAND_DISPLAY is not set)");
    {
        // Unset means wayland-0.
        const ListeningSocket compositor(runtime / "wayland-0");
        ASSERT_TRUE(compositor.listening());
        EXPECT_TRUE(waylandDisplayAvailable(&why));
    }

    ::setenv("WAYLAND_DISPLAY", "wayland-7", 1);
    EXPECT_FALSE(waylandDisplayAvailable(&why));
    EXPECT_EQ(why, "cannot reach the Wayland display \"wayland-7\" (No such file or directory)");
    {
        const ListeningSocket compositor(runtime / "wayland-7");
        ASSERT_TRUE(compositor.listening());
        EXPECT_TRUE(waylandDisplayAvailable(&why));
        // An absolute name needs no runtime folder.
        ::setenv("WAYLAND_DISPLAY", (runtime / "wayland-7").c_str(), 1);
        ::unsetenv("XDG_RUNTIME_DIR");
        EXPECT_TRUE(waylandDisplayAvailable(&why));
    }
    ::setenv("WAYLAND_DISPLAY", "wayland-7", 1);
    EXPECT_FALSE(waylandDisplayAvailable(&why));
    EXPECT_EQ(why, "no Wayland display (XDG_RUNTIME_DIR is not set)");
    fs::remove_all(runtime);
}

} // namespace
