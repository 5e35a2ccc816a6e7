// One copy per session and `vantrel --press`, against a session bus of the
// test's own.
#include "app/session.h"
#include "private_session_bus.h"

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using vantrel::platform::FunctionKey;
using vantrel::platform::PressCounts;

bool waiting(int fd)
{
    pollfd readable{fd, POLLIN, 0};
    return ::poll(&readable, 1, 0) == 1;
}

// What a desktop's own tools send: `gdbus call ... Press KEY`. On a
// connection of its own: GIO's shared one would end the test when the bus
// goes.
std::string pressThroughTheBus(const std::string &address, const char *key)
{
    GError *error = nullptr;
    GDBusConnection *bus = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &error);
    if (!bus) {
        std::string message = error->message;
        g_error_free(error);
        return message;
    }
    GVariant *reply =
        g_dbus_connection_call_sync(bus, "org.morvask.Vantrel", "/org/morvask/Vantrel", "org.morvask.Vantrel", "Press",
                                    g_variant_new("(s)", key), nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &error);
    std::string answer;
    if (reply) {
        g_variant_unref(reply);
    } else {
        g_dbus_error_strip_remote_error(error);
        answer = error->message;
        g_error_free(error);
    }
    g_object_unref(bus);
    return answer;
}

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start"; }
    vantrel::test::PrivateSessionBus bus;
    std::ostringstream err;
};

TEST_F(SessionTest, APressHandedOverReachesTheRunningCopyOnce)
{
    const auto running = vantrel::joinSession(err);
    ASSERT_TRUE(running.bus) << err.str();
    EXPECT_FALSE(running.exitStatus);
    EXPECT_FALSE(waiting(running.bus->wakeupFd()));

    // The press is queued before the answer goes back.
    EXPECT_EQ(vantrel::handOverPress(FunctionKey::F8, err), 0);
    EXPECT_EQ(err.str(), "");
    ASSERT_TRUE(waiting(running.bus->wakeupFd()));
    const auto requests = running.bus->collect();
    EXPECT_EQ(requests.presses, (PressCounts{0, 0, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(requests.showConfiguration);
    EXPECT_FALSE(waiting(running.bus->wakeupFd()));

    // Straight over the bus: any letter case, and nothing but F6 to F12.
    EXPECT_EQ(pressThroughTheBus(bus.address(), "f12"), "");
    EXPECT_EQ(pressThroughTheBus(bus.address(), "F5"), "\"F5\" is none of the keys F6 to F12");
    EXPECT_EQ(running.bus->collect().presses, (PressCounts{0, 0, 0, 0, 0, 0, 1}));
}

TEST_F(SessionTest, WithoutARunningCopyAPressFailsInOneLine)
{
    EXPECT_EQ(vantrel::handOverPress(FunctionKey::F12, err), 1);
    EXPECT_EQ(err.str(), "vantrel: no Vantrel is running in this session to take F12\n");

    // One that ran and ended has let go of the name.
    vantrel::joinSession(err);
    err.str("");
    EXPECT_EQ(vantrel::handOverPress(FunctionKey::F6, err), 1);
    EXPECT_EQ(err.str(), "vantrel: no Vantrel is running in this session to take F6\n");

    err.str("");
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::optional<std::string> previousRuntime = runtime ? std::optional<std::string>(runtime) : std::nullopt;
    ::setenv("XDG_RUNTIME_DIR", "/nonexistent", 1);
    EXPECT_EQ(vantrel::handOverPress(FunctionKey::F7, err), 1);
    EXPECT_EQ(err.str(), "vantrel: cannot hand F7 over: no session bus (DBUS_SESSION_BUS_ADDRESS is not set)\n");
    // Without a bus the program itself runs, as the only copy it knows of.
    err.str("");
    const auto alone = vantrel::joinSession(err);
    EXPECT_FALSE(alone.exitStatus);
    EXPECT_FALSE(alone.bus);
    EXPECT_EQ(err.str(), "");
    if (previousRuntime)
        ::setenv("XDG_RUNTIME_DIR", previousRuntime->c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(SessionTest, ASecondCopyAsksTheFirstToShowItsWindowAndEnds)
{
    const auto first = vantrel::joinSession(err);
    ASSERT_TRUE(first.bus) << err.str();
    const auto second = vantrel::joinSession(err);
    EXPECT_EQ(second.exitStatus, 0);
    EXPECT_FALSE(second.bus);
    EXPECT_EQ(err.str(), "");
    ASSERT_TRUE(waiting(first.bus->wakeupFd()));
    const auto requests = first.bus->collect();
    EXPECT_TRUE(requests.showConfiguration);
    EXPECT_EQ(requests.presses, PressCounts{});
}

TEST_F(SessionTest, OfCopiesStartedTogetherExactlyOneRuns)
{
    constexpr int kCopies = 4;
    std::vector<vantrel::SessionStart> starts(kCopies);
    std::vector<std::ostringstream> errors(kCopies);
    std::vector<std::thread> copies;
    for (int i = 0; i < kCopies; ++i)
        copies.emplace_back([&, i] { starts[i] = vantrel::joinSession(errors[i]); });
    for (auto &copy : copies)
        copy.join();

    int running = 0;
    for (int i = 0; i < kCopies; ++i) {
        EXPECT_EQ(errors[i].str(), "");
        if (starts[i].bus) {
            ++running;
            EXPECT_FALSE(starts[i].exitStatus);
            EXPECT_TRUE(starts[i].bus->collect().showConfiguration);
        } else {
            EXPECT_EQ(starts[i].exitStatus, 0);
        }
    }
    EXPECT_EQ(running, 1);
}

} // namespace
