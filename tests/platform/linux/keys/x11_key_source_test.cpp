// GoogleTest comes before Xlib, whose macros (None, Bool...) it cannot bear.
#include <gtest/gtest.h>

#include "keyboard_remapping.h"
#include "private_x_server.h"
#include "x11_test_keyboard.h"

#include "platform/linux/keys/x11_key_source.h"

#include <X11/keysym.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

using namespace vantrel;
using namespace vantrel::platform;
using namespace vantrel::platform::linux_backend;

namespace {

constexpr auto kPatience = std::chrono::seconds(5);

KeySym keysymOf(FunctionKey key) { return XK_F6 + slotIndex(key); }

// Feeds a key source's news into totals, as the poller would.
class Observer {
public:
    explicit Observer(KeySource &source) : source_(source) {}

    std::array<unsigned, kFunctionKeyCount> presses{};
    std::array<bool, kFunctionKeyCount> down{};

    unsigned pressesOf(FunctionKey key) const { return presses[slotIndex(key)]; }
    bool isDown(FunctionKey key) const { return down[slotIndex(key)]; }

    // Takes in news until condition holds; false when time runs out or the
    // source is lost.
    bool waitUntil(const std::function<bool()> &condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            pollfd readable{source_.wakeup().fd, POLLIN, 0};
            poll(&readable, 1, 10);
            if (!source_.collect())
                return false;
            for (const auto key : kFunctionKeys) {
                const KeyState state = source_.query(key);
                presses[slotIndex(key)] += state.pressesSincePreviousQuery;
                down[slotIndex(key)] = state.downNow;
            }
        }
        return true;
    }

private:
    KeySource &source_;
};

class X11KeySourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(source.start(&error)) << error;
    }

    // Everything injected before reaches the source ahead of a tap of the
    // marker key: once the marker is seen, the rest has been counted.
    void takeInEverything(FunctionKey marker = FunctionKey::F12)
    {
        const unsigned before = observer.pressesOf(marker);
        keyboard.tap(keysymOf(marker));
        keyboard.sync();
        ASSERT_TRUE(observer.waitUntil([&] { return observer.pressesOf(marker) > before; }));
        observer.presses[slotIndex(marker)] = before;
    }

    std::vector<unsigned> pressesOfAll() const { return {observer.presses.begin(), observer.presses.end()}; }

    test::X11TestKeyboard keyboard;
    X11KeySource source;
    Observer observer{source};
};

TEST_F(X11KeySourceTest, ATapIsOnePressAndAHeldKeyWithItsRepeatsToo)
{
    keyboard.tap(XK_F6);
    const unsigned f7 = keyboard.keycodeOf(XK_F7);
    keyboard.pressKeycode(f7);
    // What the keyboard's auto-repeat sends while the key stays down.
    keyboard.pressKeycode(f7);
    keyboard.pressKeycode(f7);
    takeInEverything();
    EXPECT_TRUE(observer.isDown(FunctionKey::F7));
    EXPECT_FALSE(observer.isDown(FunctionKey::F6));

    keyboard.releaseKeycode(f7);
    takeInEverything();
    EXPECT_FALSE(observer.isDown(FunctionKey::F7));
    EXPECT_EQ(pressesOfAll(), (std::vector<unsigned>{1, 1, 0, 0, 0, 0, 0}));
}

TEST_F(X11KeySourceTest, KeysPressedTogetherOrWithModifiersEachCountAndOtherKeysNot)
{
    keyboard.press(XK_Shift_L);
    keyboard.press(XK_F9);
    keyboard.press(XK_F7);
    keyboard.release(XK_F9);
    keyboard.release(XK_F7);
    keyboard.release(XK_Shift_L);
    keyboard.press(XK_Control_L);
    keyboard.tap(XK_F11);
    keyboard.release(XK_Control_L);
    keyboard.tap(XK_a);
    keyboard.tap(XK_F5);
    takeInEverything();
    EXPECT_EQ(pressesOfAll(), (std::vector<unsigned>{0, 1, 0, 1, 0, 1, 0}));
}

TEST_F(X11KeySourceTest, TheFocusedWindowStillReceivesTheKeys)
{
    test::FocusedWindow focused(keyboard.display());
    keyboard.tap(XK_F10);
    keyboard.tap(XK_F10);
    takeInEverything();
    EXPECT_EQ(observer.pressesOf(FunctionKey::F10), 2u);
    EXPECT_EQ(focused.pressesOf(keyboard.keycodeOf(XK_F10)), 2);
    EXPECT_EQ(focused.pressesOf(keyboard.keycodeOf(XK_F12)), 1); // the marker
}

TEST_F(X11KeySourceTest, KeycodesFollowTheKeyboardMapping)
{
    const unsigned formerF8 = keyboard.keycodeOf(XK_F8);
    const unsigned spare = keyboard.unusedKeycode();
    test::KeyboardRemapping remapping(keyboard.display());

    // A second key that also gives F8: both count.
    remapping.set(spare, XK_F8);
    keyboard.tap(XK_F8); // the first keycode giving F8
    keyboard.tapKeycode(spare);
    takeInEverything();
    EXPECT_EQ(observer.pressesOf(FunctionKey::F8), 2u);

    // F8 moved away entirely: its former key no longer counts.
    remapping.set(formerF8, XK_a);
    keyboard.tapKeycode(formerF8);
    keyboard.tapKeycode(spare);
    takeInEverything();
    EXPECT_EQ(observer.pressesOf(FunctionKey::F8), 3u);

    // Keys that give F8 only with Shift, or only in a second layout, type
    // something else when pressed plainly: they do not count.
    remapping.set(spare, {XK_a, XK_F8});
    const unsigned secondLayout = keyboard.unusedKeycode();
    remapping.set(secondLayout, {XK_b, XK_B, XK_F8, XK_F8});
    keyboard.tapKeycode(spare);
    keyboard.tapKeycode(secondLayout);
    takeInEverything();
    EXPECT_EQ(observer.pressesOf(FunctionKey::F8), 3u);
}

// The source is woken only by its descriptor, as in the program: a tap right
// after a change of the keyboard mapping must be taken in before any later
// event arrives, and the test makes none until it is.
TEST_F(X11KeySourceTest, ATapRightAfterAMappingChangeNeedsNoLaterEvent)
{
    const unsigned spare = keyboard.unusedKeycode();
    test::KeyboardRemapping remapping(keyboard.display());
    std::atomic<unsigned> taken{0};
    std::atomic<bool> stop{false};
    int stopper[2];
    ASSERT_EQ(pipe(stopper), 0);
    std::thread watcher([&] {
        while (!stop) {
            pollfd wakers[2] = {{source.wakeup().fd, POLLIN, 0}, {stopper[0], POLLIN, 0}};
            poll(wakers, 2, -1);
            if (stop || !source.collect())
                return;
            taken += source.query(FunctionKey::F6).pressesSincePreviousQuery;
        }
    });
    for (unsigned round = 1; round <= 60; ++round) {
        remapping.set(spare, round % 2 ? XK_a : XK_b);
        keyboard.tap(XK_F6);
        keyboard.sync();
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (taken < round && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (taken < round) {
            ADD_FAILURE() << "tap " << round << " was not taken in";
            break;
        }
    }
    stop = true;
    EXPECT_EQ(write(stopper[1], "", 1), 1);
    watcher.join();
    close(stopper[0]);
    close(stopper[1]);
}

TEST(KeyPressTracker, TheSameKeyHeldOnTwoKeyboardsIsTwoPresses)
{
    KeyPressTracker tracker;
    KeyPressTracker::KeycodeTable table{};
    table[74] = FunctionKey::F8;
    tracker.setKeycodes(table);
    tracker.pressed(74, 10);
    tracker.pressed(74, 11);
    tracker.pressed(74, 11); // the second keyboard's auto-repeat
    tracker.released(74, 10);
    tracker.pressed(74, 10);
    EXPECT_EQ(tracker.query(FunctionKey::F8).pressesSincePreviousQuery, 3u);
}

TEST(X11KeySourceStart, WithoutADisplayItSaysSo)
{
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    X11KeySource source;
    std::string error;
    EXPECT_FALSE(source.start(&error));
    EXPECT_EQ(error, "no X display (DISPLAY is not set)");
    EXPECT_FALSE(source.collect());
    setenv("DISPLAY", display.c_str(), 1);
}

TEST(X11KeySourceLoss, AServerThatGoesAwayEndsTheSourceButNotTheProgram)
{
    test::PrivateXServer server;
    ASSERT_TRUE(server.name());
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    setenv("DISPLAY", server.name()->c_str(), 1);
    X11KeySource source;
    std::string error;
    const bool started = source.start(&error);
    setenv("DISPLAY", display.c_str(), 1);
    ASSERT_TRUE(started) << error;
    ASSERT_TRUE(source.collect());

    server.stop();
    pollfd readable{source.wakeup().fd, POLLIN, 0};
    ASSERT_EQ(poll(&readable, 1, 5000), 1);
    EXPECT_FALSE(source.collect());
    // Dead for good: nothing is retried on the broken connection.
    EXPECT_FALSE(source.collect());
    EXPECT_FALSE(source.query(FunctionKey::F6).reportsPressed());
}

} // namespace
