// One copy per session and `vantrel --press`, against a session bus of the
// test's own.
#include "app/session.h"
#include "private_session_bus.h"

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using vantrel::platform::FunctionKey;

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
    vantrel::KeptText err;
};

// `vantrel --press KEY` on a thread of its own, as it waits for its answer.
class PressCommand {
public:
    explicit PressCommand(FunctionKey key) : thread_([this, key] { status_ = vantrel::handOverPress(key, err_); }) {}
    ~PressCommand()
    {
        if (thread_.joinable())
            thread_.join();
    }
    // Its exit status and what it said.
    std::pair<int, std::string> result()
    {
        thread_.join();
        return {status_, err_.text()};
    }

private:
    int status_ = -1;
    vantrel::KeptText err_;
    std::thread thread_;
};

// The presses that come within a generous time, as the program collects them.
std::vector<std::unique_ptr<vantrel::platform::HandedOverPress>> collectPresses(vantrel::platform::SessionBus &bus,
                                                                                std::size_t expected)
{
    std::vector<std::unique_ptr<vantrel::platform::HandedOverPress>> presses;
    pollfd readable{bus.wakeupFd(), POLLIN, 0};
    while (presses.size() < expected && ::poll(&readable, 1, 20000) == 1) {
        auto requests = bus.collect();
        EXPECT_FALSE(requests.showConfiguration);
        for (auto &press : requests.presses)
            presses.push_back(std::move(press));
    }
    return presses;
}

TEST_F(SessionTest, APressHandedOverReachesTheRunningCopyOnceAndWaitsForItsFileToOpen)
{
    const auto running = vantrel::joinSession(err);
    ASSERT_TRUE(running.bus) << err.text();
    EXPECT_FALSE(running.exitStatus);
    EXPECT_FALSE(waiting(running.bus->wakeupFd()));

    PressCommand command(FunctionKey::F8);
    auto presses = collectPresses(*running.bus, 1);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0]->key(), FunctionKey::F8);
    EXPECT_FALSE(waiting(running.bus->wakeupFd()));
    presses[0]->answer("");
    EXPECT_EQ(command.result(), std::make_pair(0, std::string()));

    // Straight over the bus: any letter case, and nothing but F6 to F12.
    std::string answer;
    std::thread sender([&] { answer = pressThroughTheBus(bus.address(), "f12"); });
    presses = collectPresses(*running.bus, 1);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0]->key(), FunctionKey::F12);
    presses[0]->answer("");
    sender.join();
    EXPECT_EQ(answer, "");
    EXPECT_EQ(pressThroughTheBus(bus.address(), "F5"), "\"F5\" is none of the keys F6 to F12");
    EXPECT_FALSE(waiting(running.bus->wakeupFd()));
}

TEST_F(SessionTest, APressThatWillNotOpenIsAnsweredSoAndALongNameIsNotRepeated)
{
    const auto running = vantrel::joinSession(err);
    ASSERT_TRUE(running.bus) << err.text();

    PressCommand refused(FunctionKey::F9);
    PressCommand dropped(FunctionKey::F10);
    auto presses = collectPresses(*running.bus, 2);
    ASSERT_EQ(presses.size(), 2u);
    for (auto &press : presses) {
        if (press->key() == FunctionKey::F9)
            press->answer("earlier opens of it have not finished");
    }
    // One the program never answers, as when it ends first.
    presses.clear();
    EXPECT_EQ(refused.result(),
              std::make_pair(1, std::string("vantrel: F9 is not opened: earlier opens of it have not finished\n")));
    EXPECT_EQ(dropped.result(),
              std::make_pair(1, std::string("vantrel: F10 is not opened: Vantrel ended before it could open it\n")));

    // As long as a bus message may be: the answer stays short.
    const std::string huge(8 << 20, 'F');
    EXPECT_EQ(pressThroughTheBus(bus.address(), huge.c_str()),
              "a key name of 8388608 bytes is none of the keys F6 to F12");
    EXPECT_FALSE(waiting(running.bus->wakeupFd()));
}

// Takes the bus's full wait for an answer (10 s).
TEST_F(SessionTest, APressToACopyThatDoesNotAnswerSaysItMayStillOpen)
{
    const auto stopped = vantrel::joinSession(err);
    ASSERT_TRUE(stopped.bus) << err.text();
    PressCommand command(FunctionKey::F6);
    EXPECT_EQ(command.result(), std::make_pair(1, std::string("vantrel: the running Vantrel did not answer in time "
                                                              "(Timeout was reached); it may still open F6 when it "
                                                              "wakes up\n")));
    // It did take the press, and may still act on it.
    const auto late = collectPresses(*stopped.bus, 1);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0]->key(), FunctionKey::F6);
}

TEST_F(SessionTest, WithoutARunningCopyAPressFailsInOneLine)
{
    EXPECT_EQ(vantrel::handOverPress(FunctionKey::F12, err), 1);
    EXPECT_EQ(err.text(), "vantrel: no Vantrel is running in this session to take F12\n");

    // One that ran and ended has let go of the name.
    vantrel::joinSession(err);
    err.clear();
    EXPECT_EQ(vantrel::handOverPress(FunctionKey::F6, err), 1);
    EXPECT_EQ(err.text(), "vantrel: no Vantrel is running in this session to take F6\n");

    err.clear();
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::optional<std::string> previousRuntime = runtime ? std::optional<std::string>(runtime) : std::nullopt;
    ::setenv("XDG_RUNTIME_DIR", "/nonexistent", 1);
    EXPECT_EQ(vantrel::handOverPress(FunctionKey::F7, err), 1);
    EXPECT_EQ(err.text(), "vantrel: cannot hand F7 over: no session bus (DBUS_SESSION_BUS_ADDRESS is not set)\n");
    // Without a bus the program itself runs, as the only copy it knows of.
    err.clear();
    const auto alone = vantrel::joinSession(err);
    EXPECT_FALSE(alone.exitStatus);
    EXPECT_FALSE(alone.bus);
    EXPECT_EQ(err.text(), "");
    if (previousRuntime)
        ::setenv("XDG_RUNTIME_DIR", previousRuntime->c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(SessionTest, ASecondCopyAsksTheFirstToShowItsWindowAndEnds)
{
    const auto first = vantrel::joinSession(err);
    ASSERT_TRUE(first.bus) << err.text();
    const auto second = vantrel::joinSession(err);
    EXPECT_EQ(second.exitStatus, 0);
    EXPECT_FALSE(second.bus);
    EXPECT_EQ(err.text(), "");
    ASSERT_TRUE(waiting(first.bus->wakeupFd()));
    const auto requests = first.bus->collect();
    EXPECT_TRUE(requests.showConfiguration);
    EXPECT_TRUE(requests.presses.empty());
}

TEST_F(SessionTest, OfCopiesStartedTogetherExactlyOneRuns)
{
    constexpr int kCopies = 4;
    std::vector<vantrel::SessionStart> starts(kCopies);
    std::vector<vantrel::KeptText> errors(kCopies);
    std::vector<std::thread> copies;
    for (int i = 0; i < kCopies; ++i)
        copies.emplace_back([&, i] { starts[i] = vantrel::joinSession(errors[i]); });
    for (auto &copy : copies)
        copy.join();

    int running = 0;
    for (int i = 0; i < kCopies; ++i) {
        EXPECT_EQ(errors[i].text(), "");
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
