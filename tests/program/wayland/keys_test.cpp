// The real program on a Wayland desktop whose portal hands it the keys as
// global shortcuts: each press opens its file once, a bound key is taken
// from the focused program and an unbound one is not, the keys go back when
// the program ends, and a trigger the user changed in the desktop's
// settings is followed.

#include "wayland_program.h"
#include "x_client.h"

#include <thread>

using namespace vantrel::test;
using namespace std::chrono_literals;

namespace {

using Keys = WaylandProgram;

TEST_F(Keys, EachPressOpensOnceABoundKeyIsTakenAndExitGivesTheKeysBack)
{
    bind({"F6", "F7"});
    const auto vantrel = start();
    waitUntilWatching();
    EXPECT_NE(errors().find("vantrel: watching F6 to F12 through the desktop's global shortcuts portal\n"),
              std::string::npos)
        << errors();
    // The program shows nothing while a tray holds its icon: the focus
    // stays where it was.
    ASSERT_TRUE(waitUntil([&] { return window.hasFocus(); }));

    keyboard.tap("F6");
    keyboard.tap("F6");
    keyboard.tap("F6");
    // Held down: the desktop repeats the shortcut for as long.
    keyboard.hold("F7", 1500ms);
    // No file: not the program's key.
    keyboard.tap("F8");
    ASSERT_TRUE(waitUntil([&] { return opensOf("F6") >= 3 && opensOf("F7") >= 1 && window.pressesOf("F8") >= 1; }))
        << opensOf("F6") << " openings for F6, " << opensOf("F7") << " for F7, F8 " << window.pressesOf("F8")
        << " times in the window";
    // Time for a stray second opening to show up.
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(opensOf("F6"), 3u);
    EXPECT_EQ(opensOf("F7"), 1u);
    EXPECT_EQ(opensOf("F8"), 0u);
    EXPECT_EQ(window.pressesOf("F6"), 0) << "a bound key reached the focused program too";
    EXPECT_EQ(window.pressesOf("F7"), 0);
    EXPECT_EQ(window.pressesOf("F8"), 1);

    const auto items = tray.items();
    ASSERT_EQ(items.size(), 1u);
    ASSERT_TRUE(Tray::clickMenuEntry(items.front(), "E_xit"));
    EXPECT_EQ(vantrel->waitForExit(20s), 0) << "Exit did not end the program cleanly: " << errors();

    const std::size_t before = opens();
    keyboard.tap("F6");
    EXPECT_TRUE(waitUntil([&] { return window.pressesOf("F6") == 1; })) << "F6 did not come back to the window";
    EXPECT_EQ(opens(), before);
}

TEST_F(Keys, ATriggerChangedInTheDesktopsSettingsIsFollowed)
{
    bind({"F8"});
    const auto vantrel = start();
    waitUntilWatching();
    ASSERT_TRUE(waitUntil([&] { return window.hasFocus(); }));

    // What KDE's shortcut settings do when the user makes F8 Ctrl+F8.
    constexpr int kControlF8 = 0x04000000 | 0x01000037; // Qt::CTRL | Qt::Key_F8
    const auto changed = callOnSessionBus({"--dest", "org.kde.kglobalaccel", "--object-path", "/kglobalaccel",
                                           "--method", "org.kde.KGlobalAccel.setForeignShortcut",
                                           "['vantrel', 'F8', 'vantrel', 'Open the file bound to F8']",
                                           "[" + std::to_string(kControlF8) + "]"});
    ASSERT_TRUE(changed) << "the desktop's shortcuts do not know the program's F8";

    keyboard.tap("F8");
    ASSERT_TRUE(waitUntil([&] { return window.pressesOf("F8") >= 1; })) << "plain F8 is still taken";
    constexpr const char *kLeftControl = "29";
    keyboard.type({"press", kLeftControl, "tap", WaylandKeyboard::code("F8"), "release", kLeftControl});
    ASSERT_TRUE(waitUntil([&] { return opensOf("F8") >= 1; })) << "Ctrl+F8 opened nothing";
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(opensOf("F8"), 1u);
    EXPECT_EQ(window.pressesOf("F8"), 1);
}

} // namespace
