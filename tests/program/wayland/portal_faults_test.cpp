// The real program when the desktop's portal fails under it: the portal
// killed and started again (by another program or by the program itself),
// its backend killed, the keys with files changed quickly under load, and a
// portal hung at the start. Whatever happens, the keys come back by
// themselves, the focused program gets the keys that have no file, and a
// user whose keys stay dead for a while is told once. A portal without
// global shortcuts is the desktop's way, not a fault: said once, not told.

#include "bus_service.h"
#include "cpu_load.h"
#include "recording_notification_server.h"
#include "wayland_program.h"
#include "x_client.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <thread>

using namespace vantrel::test;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

const std::vector<std::string> kKeys = {"F6", "F7", "F8", "F9", "F10", "F11"};

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

class PortalFaults : public WaylandProgram {
protected:
    // Taps the key until the focused window gets it.
    bool reachesTheWindow(const std::string &key)
    {
        const int before = window.pressesOf(key);
        return waitUntil([&] {
            keyboard.tap(key);
            return window.pressesOf(key) > before;
        });
    }

    // Each key tapped once: the bound ones open their file and only that,
    // the others reach the focused window and only that.
    void expectOnlyBoundKeysTaken(const std::vector<std::string> &bound)
    {
        const auto isBound = [&](const std::string &key) {
            return std::find(bound.begin(), bound.end(), key) != bound.end();
        };
        // Until every bound key works, which ends any binding under way.
        for (const auto &key : bound)
            ASSERT_TRUE(waitUntil([&] {
                keyboard.tap(key);
                return opensOf(key) > 0;
            })) << key
                << " never opened its file: " << errors();
        // The last of those taps may still be on its way.
        std::this_thread::sleep_for(1s);
        std::map<std::string, std::pair<std::size_t, int>> before;
        for (const auto &key : kKeys)
            before[key] = {opensOf(key), window.pressesOf(key)};
        for (const auto &key : kKeys)
            keyboard.tap(key);
        const auto landed = [&](const std::string &key) {
            return opensOf(key) > before[key].first || window.pressesOf(key) > before[key].second;
        };
        ASSERT_TRUE(waitUntil([&] { return std::all_of(kKeys.begin(), kKeys.end(), landed); }));
        // Time for a key to land twice.
        std::this_thread::sleep_for(500ms);
        for (const auto &key : kKeys) {
            SCOPED_TRACE(key);
            EXPECT_EQ(opensOf(key) - before[key].first, isBound(key) ? 1u : 0u);
            EXPECT_EQ(window.pressesOf(key) - before[key].second, isBound(key) ? 0 : 1);
        }
    }

    void exitThroughTheTray(ChildProcess &program)
    {
        const auto items = tray.items();
        ASSERT_EQ(items.size(), 1u);
        ASSERT_TRUE(Tray::clickMenuEntry(items.front(), "E_xit"));
        EXPECT_EQ(program.waitForExit(20s), 0) << errors();
    }

    BusService portal{BusService::kPortal};
};

TEST_F(PortalFaults, APortalStartedAgainByAnyoneHandsTheKeysBack)
{
    RecordingNotificationServer notifications;
    ASSERT_TRUE(notifications.serving());
    bind({"F6", "F7"});
    const auto vantrel = start();
    waitUntilWatching();
    ASSERT_TRUE(waitUntil([&] { return window.hasFocus(); }));

    // Another program's call starts it again at once.
    ASSERT_TRUE(portal.kill());
    ASSERT_TRUE(portal.start());
    auto since = Clock::now();
    waitUntilWatching();
    std::cout << "keys back " << secondsSince(since) << " s after the portal was started again by another program\n";

    // Nobody else asks for it: the program does.
    ASSERT_TRUE(portal.kill());
    since = Clock::now();
    waitUntilWatching();
    std::cout << "keys back " << secondsSince(since) << " s after the portal was killed\n";
    EXPECT_TRUE(portal.running());
    EXPECT_NE(errors().find("the desktop's portal went away"), std::string::npos) << errors();
    expectOnlyBoundKeysTaken({"F6", "F7"});

    // F7 loses its file: no portal of before may keep it taken.
    bind({"F6"});
    ASSERT_TRUE(reachesTheWindow("F7")) << errors();
    expectOnlyBoundKeysTaken({"F6"});

    exitThroughTheTray(*vantrel);
    EXPECT_TRUE(reachesTheWindow("F6")) << "F6 stayed taken after the program ended";
    // Back long before anyone need be told.
    EXPECT_TRUE(notifications.waitFor(1, 0ms).empty());
}

TEST_F(PortalFaults, ABackendThatGoesAwayIsToldAndTheKeysAreBoundAgain)
{
    bind({"F6"});
    const auto vantrel = start();
    waitUntilWatching();
    ASSERT_TRUE(waitUntil([&] { return window.hasFocus(); }));

    BusService backend(BusService::kKdeBackend);
    ASSERT_TRUE(backend.kill());
    EXPECT_TRUE(waitUntil([&] {
        return errors().find("org.freedesktop.impl.portal.desktop.kde went away") != std::string::npos;
    })) << errors();
    const auto since = Clock::now();
    waitUntilWatching();
    std::cout << "keys back " << secondsSince(since) << " s after the backend was killed\n";
    expectOnlyBoundKeysTaken({"F6"});
}

TEST_F(PortalFaults, QuickChangesUnderLoadEndWithExactlyTheKeysThatHaveFiles)
{
    bind({"F6", "F7"});
    const auto vantrel = start();
    waitUntilWatching();
    ASSERT_TRUE(waitUntil([&] { return window.hasFocus(); }));

    const std::vector<std::pair<std::vector<std::string>, std::chrono::milliseconds>> changes = {
        {{"F8"}, 500ms},    {{"F6", "F9"}, 50ms},  {{}, 500ms},     {{"F7"}, 0ms},       {{"F10"}, 500ms},
        {{"F6", "F8"}, 4s}, {{"F9", "F11"}, 50ms}, {{"F7"}, 500ms}, {{"F7", "F10"}, 0ms}};
    {
        const CpuLoad load;
        for (int round = 0; round < 2; ++round)
            for (const auto &[keys, pause] : changes) {
                bind(keys);
                std::this_thread::sleep_for(pause);
            }
        expectOnlyBoundKeysTaken({"F7", "F10"});
    }
    expectOnlyBoundKeysTaken({"F7", "F10"});
}

TEST_F(PortalFaults, AHungPortalHoldsUpNeitherTheStartNorTheKeysOnceItAnswers)
{
    RecordingNotificationServer notifications;
    ASSERT_TRUE(notifications.serving());
    bind({"F6"});
    ASSERT_TRUE(portal.start());
    ASSERT_TRUE(portal.pause());
    const auto vantrel = start();
    // Well before any wait for the portal would have given up.
    ASSERT_TRUE(waitUntil([&] { return !tray.items().empty(); }, 10s)) << "no tray icon: " << errors();
    ASSERT_TRUE(Tray::activate(tray.items().front()));
    EXPECT_TRUE(waitUntil(
        [&] {
            const auto shown = windowsOf(*vantrel);
            return std::find(shown.begin(), shown.end(), "Vantrel Configuration") != shown.end();
        },
        10s))
        << "the configuration window waited for the portal";
    EXPECT_NE(errors().find("vantrel: waiting for the desktop's global shortcuts portal\n"), std::string::npos)
        << errors();

    // Dead keys for a while: told once, with what to do.
    const auto told = notifications.waitFor(1, 30s);
    ASSERT_EQ(told.size(), 1u) << errors();
    EXPECT_EQ(told[0].summary, "F6 to F12 do not work for now");
    EXPECT_NE(told[0].body.find("vantrel --press F6"), std::string::npos) << told[0].body;

    portal.resume();
    const auto since = Clock::now();
    waitUntilWatching();
    std::cout << "keys working " << secondsSince(since) << " s after the portal woke\n";
    EXPECT_EQ(notifications.waitFor(2, 1s).size(), 1u) << "told more than once";
    EXPECT_NE(errors().find("vantrel: watching F6 to F12 through the desktop's global shortcuts portal\n"),
              std::string::npos)
        << errors();
}

TEST_F(PortalFaults, APortalWithoutGlobalShortcutsIsSaidOnceAndNotToldAsAFault)
{
    RecordingNotificationServer notifications;
    ASSERT_TRUE(notifications.serving());
    // The portal as on GNOME before 48 or sway: no backend of it offers
    // global shortcuts. It starts on the first call, with this.
    ASSERT_FALSE(portal.running());
    const auto noBackends = desktop.root() / "no portal backends";
    std::filesystem::create_directories(noBackends);
    ASSERT_EQ(
        runToEnd({"dbus-update-activation-environment", "XDG_DESKTOP_PORTAL_DIR=" + noBackends.string()}).exitCode, 0);
    bind({"F6"});
    const auto vantrel = start();
    ASSERT_TRUE(waitUntil([&] { return errors().find("offers no global shortcuts") != std::string::npos; }))
        << errors();
    EXPECT_NE(errors().find("vantrel --press KEY"), std::string::npos) << errors();

    // The way such a desktop hands over a key.
    ASSERT_TRUE(waitUntil([&] { return runToEnd({VANTREL_EXECUTABLE, "--press", "F6"}).exitCode == 0; }));
    EXPECT_TRUE(waitUntil([&] { return opensOf("F6") == 1; }));
    // Past the time after which dead keys are told.
    EXPECT_TRUE(notifications.waitFor(1, 12s).empty());
    const std::string said = errors();
    std::size_t times = 0;
    for (auto at = said.find("offers no global shortcuts"); at != std::string::npos;
         at = said.find("offers no global shortcuts", at + 1))
        ++times;
    EXPECT_EQ(times, 1u) << said;
}

} // namespace
