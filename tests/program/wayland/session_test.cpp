// The real program as one copy per desktop session, reached over the session
// bus: "vantrel --press KEY" hands it a press, a second start shows the first
// one's configuration window, and its tray icon works through a
// StatusNotifierItem host.

#include "wayland_program.h"
#include "x_client.h"

#include <algorithm>
#include <thread>

using namespace vantrel::test;
using namespace std::chrono_literals;

namespace {

constexpr const char *kConfigurationWindow = "Vantrel Configuration";

using Session = WaylandProgram;

bool busNameTaken()
{
    const auto reply = callOnSessionBus({"--dest", "org.freedesktop.DBus", "--object-path", "/org/freedesktop/DBus",
                                         "--method", "org.freedesktop.DBus.NameHasOwner", "org.morvask.Vantrel"});
    return reply && reply->find("true") != std::string::npos;
}

bool shows(const std::vector<std::string> &titles, const std::string &title)
{
    return std::find(titles.begin(), titles.end(), title) != titles.end();
}

TEST_F(Session, PressCommandOpensOnceAndFailsClearlyWithoutTheProgram)
{
    bind({"F6"});
    const auto alone = runToEnd({VANTREL_EXECUTABLE, "--press", "F6"});
    ASSERT_TRUE(alone.exitCode.has_value()) << "vantrel --press did not end by itself";
    EXPECT_NE(*alone.exitCode, 0);
    EXPECT_EQ(std::count(alone.errorOutput.begin(), alone.errorOutput.end(), '\n'), 1) << alone.errorOutput;

    const auto vantrel = start();
    ASSERT_TRUE(waitUntil(busNameTaken, 30s)) << errors();
    const auto pressed = runToEnd({VANTREL_EXECUTABLE, "--press", "f6"});
    EXPECT_EQ(pressed.exitCode, 0) << pressed.errorOutput;
    ASSERT_TRUE(waitUntil([&] { return opensOf("F6") >= 1; })) << "the press opened nothing";
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(opensOf("F6"), 1u);
}

TEST_F(Session, ASecondStartShowsTheFirstsConfigurationWindowAndEnds)
{
    bind({"F6"});
    const auto first = start();
    waitUntilWatching();
    ASSERT_TRUE(waitUntil([&] { return windowsOf(*first).empty(); })) << "the program shows a window with a tray";

    ChildProcess second({VANTREL_EXECUTABLE}, {}, (desktop.root() / "second errors").string());
    EXPECT_EQ(second.waitForExit(30s), 0) << "the second copy did not end";
    EXPECT_TRUE(waitUntil([&] { return shows(windowsOf(*first), kConfigurationWindow); }))
        << "the first copy did not show its configuration window";

    // One copy watches the keys: one opening a press.
    keyboard.tap("F6");
    ASSERT_TRUE(waitUntil([&] { return opensOf("F6") >= 1; }));
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(opensOf("F6"), 1u);
}

TEST_F(Session, ActivatingTheTrayIconShowsTheConfigurationWindow)
{
    bind({});
    const auto vantrel = start();
    ASSERT_TRUE(waitUntil([&] { return !tray.items().empty(); }, 30s)) << "no tray icon: " << errors();
    ASSERT_TRUE(waitUntil([&] { return windowsOf(*vantrel).empty(); })) << "the program shows a window with a tray";

    ASSERT_TRUE(Tray::activate(tray.items().front()));
    EXPECT_TRUE(waitUntil([&] { return shows(windowsOf(*vantrel), kConfigurationWindow); }))
        << "the configuration window did not show";
}

} // namespace
