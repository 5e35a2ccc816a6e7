#include "platform/linux/keys/shortcut_press_counter.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using vantrel::platform::FunctionKey;
using vantrel::platform::linux_backend::ShortcutPressCounter;

// A hold as KDE reports it: the first activation, repeats every 40 ms after
// 670 ms while the key stays down.
void hold(ShortcutPressCounter &counter, FunctionKey key, ShortcutPressCounter::Time from,
          ShortcutPressCounter::Time length)
{
    counter.activated(key, from);
    for (auto at = from + 670ms; at < from + length; at += 40ms)
        counter.activated(key, at);
}

TEST(ShortcutPressCounter, TapsCountOnceEachAndAHeldKeyWithItsRepeatsOnce)
{
    ShortcutPressCounter counter;
    for (const auto at : {0ms, 120ms, 240ms}) {
        counter.activated(FunctionKey::F8, at);
        counter.deactivated(FunctionKey::F8);
    }
    EXPECT_EQ(counter.query(FunctionKey::F8, 300ms).pressesSincePreviousQuery, 3u);

    hold(counter, FunctionKey::F8, 1s, 1500ms);
    const auto held = counter.query(FunctionKey::F8, 2400ms);
    EXPECT_TRUE(held.downNow);
    EXPECT_EQ(held.pressesSincePreviousQuery, 1u);
    counter.deactivated(FunctionKey::F8);
    const auto released = counter.query(FunctionKey::F8, 2500ms);
    EXPECT_FALSE(released.downNow);
    EXPECT_EQ(released.pressesSincePreviousQuery, 0u);
    EXPECT_EQ(counter.query(FunctionKey::F7, 2500ms).pressesSincePreviousQuery, 0u);
}

TEST(ShortcutPressCounter, ALostReleaseDoesNotStickTheKey)
{
    ShortcutPressCounter counter;
    // A desktop that never reports releases: a hold is still one press, and
    // a press a second after the last activation is a new one.
    hold(counter, FunctionKey::F10, 0ms, 2s);
    EXPECT_EQ(counter.query(FunctionKey::F10, 2s).pressesSincePreviousQuery, 1u);
    EXPECT_FALSE(counter.query(FunctionKey::F10, 3s).downNow);
    counter.activated(FunctionKey::F10, 3s);
    EXPECT_EQ(counter.query(FunctionKey::F10, 3s).pressesSincePreviousQuery, 1u);
}

TEST(ShortcutPressCounter, KeysAreCountedApart)
{
    ShortcutPressCounter counter;
    hold(counter, FunctionKey::F7, 0ms, 1s);
    counter.activated(FunctionKey::F9, 500ms);
    counter.deactivated(FunctionKey::F9);
    counter.activated(FunctionKey::F9, 800ms);
    EXPECT_EQ(counter.query(FunctionKey::F7, 1s).pressesSincePreviousQuery, 1u);
    EXPECT_EQ(counter.query(FunctionKey::F9, 1s).pressesSincePreviousQuery, 2u);
}

} // namespace
