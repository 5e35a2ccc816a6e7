// The real program when the desktop around it fails: the tray host killed
// and started again, the keyboard mapping changed under it, the X server
// gone, and no X display at all at start.

// GoogleTest comes before Xlib, whose macros (None, Bool...) it cannot bear.
#include <gtest/gtest.h>

#include "bindings_file.h"
#include "child_process.h"
#include "keyboard_remapping.h"
#include "launch_probe_desktop.h"
#include "private_x_server.h"
#include "x11_test_keyboard.h"
#include "x_client.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

using namespace vantrel::test;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

namespace {

std::unique_ptr<ChildProcess> startTray()
{
    return std::make_unique<ChildProcess>(
        std::vector<std::string>{TRAYER_EXECUTABLE, "--edge", "bottom", "--widthtype", "request", "--height", "24"});
}

bool isTrayIcon(const WindowInfo &window) { return window.xembed && window.embedded && window.viewable; }

bool showsTrayIcon(XClient &x, pid_t pid)
{
    const auto windows = x.windowsOf(pid);
    return std::any_of(windows.begin(), windows.end(), isTrayIcon);
}

std::size_t opened(const ProbeDesktop &desktop, const Args &args)
{
    const auto records = desktop.records();
    return static_cast<std::size_t>(
        std::count_if(records.begin(), records.end(), [&](const auto &record) { return record.args == args; }));
}

// The program says nothing when it starts watching: F12, bound to an entry
// that runs the probe with "ready", is pressed until it opens.
bool awaitWatching(const ProbeDesktop &desktop, X11TestKeyboard &keyboard)
{
    const Args ready{launchProbe().string(), "ready"};
    return waitUntil(
        [&] {
            keyboard.tap(XK_F12);
            keyboard.sync();
            return opened(desktop, ready) > 0;
        },
        30s);
}

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The process's DISPLAY, another one for as long as this lives.
class DisplayOverride {
public:
    explicit DisplayOverride(const std::string &display)
    {
        if (const char *current = std::getenv("DISPLAY"))
            saved_ = current;
        setenv("DISPLAY", display.c_str(), 1);
    }
    ~DisplayOverride()
    {
        if (saved_)
            setenv("DISPLAY", saved_->c_str(), 1);
        else
            unsetenv("DISPLAY");
    }
    DisplayOverride(const DisplayOverride &) = delete;
    DisplayOverride &operator=(const DisplayOverride &) = delete;

private:
    std::optional<std::string> saved_;
};

TEST(DesktopFaults, TheIconComesBackWhenTheTrayHostIsKilledAndStartedAgain)
{
    ProbeDesktop desktop;
    XClient x;
    auto tray = startTray();
    ASSERT_TRUE(waitUntil([&] { return x.trayManager() != 0; })) << "trayer did not take the tray";
    ChildProcess vantrel({VANTREL_EXECUTABLE});
    ASSERT_TRUE(waitUntil([&] { return showsTrayIcon(x, vantrel.pid()); })) << "no icon in the tray";

    kill(tray->pid(), SIGKILL);
    tray.reset();
    ASSERT_TRUE(waitUntil([&] { return x.trayManager() == 0; }));
    EXPECT_TRUE(waitUntil([&] { return !showsTrayIcon(x, vantrel.pid()); })) << "the icon outlived its tray";

    tray = startTray();
    ASSERT_TRUE(waitUntil([&] { return x.trayManager() != 0; })) << "trayer did not take the tray again";
    EXPECT_TRUE(waitUntil([&] { return showsTrayIcon(x, vantrel.pid()); })) << "the icon did not come back";
    EXPECT_FALSE(vantrel.waitForExit(0ms)) << "the program ended";
}

TEST(DesktopFaults, KeysAreStillFoundAfterTheKeyboardMappingChanges)
{
    ProbeDesktop desktop;
    const fs::path entry = desktop.root() / "F6.desktop";
    desktop.writeDesktopEntry(entry, "F6-entry");
    const fs::path readiness = desktop.root() / "readiness.desktop";
    desktop.writeDesktopEntry(readiness, "ready");
    writeBindingsFile(desktop.configHome(), {{"F6", entry}, {"F12", readiness}});
    const Args f6Opened{launchProbe().string(), "F6-entry"};

    X11TestKeyboard keyboard;
    ChildProcess vantrel({VANTREL_EXECUTABLE});
    ASSERT_TRUE(awaitWatching(desktop, keyboard)) << "F12 never opened anything";

    // F6 moves to a key that had no symbol, as with another layout; its
    // former key now types a letter.
    const unsigned formerF6 = keyboard.keycodeOf(XK_F6);
    const unsigned newF6 = keyboard.unusedKeycode();
    KeyboardRemapping remapping(keyboard.display());
    remapping.set(newF6, XK_F6);
    remapping.set(formerF6, XK_a);
    keyboard.sync();

    keyboard.tapKeycode(newF6);
    keyboard.tapKeycode(formerF6);
    keyboard.tapKeycode(newF6);
    keyboard.sync();
    EXPECT_TRUE(waitUntil([&] { return opened(desktop, f6Opened) >= 2; })) << "F6 on its new key opened nothing";
    // Time for a stray opening through the former key to show up.
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(opened(desktop, f6Opened), 2u);
}

TEST(DesktopFaults, TheProgramEndsWithinASecondWhenTheXServerGoes)
{
    PrivateXServer server;
    ASSERT_TRUE(server.name()) << "no X server of the test's own";
    ProbeDesktop desktop;
    const fs::path readiness = desktop.root() / "readiness.desktop";
    desktop.writeDesktopEntry(readiness, "ready");
    writeBindingsFile(desktop.configHome(), {{"F12", readiness}});
    const fs::path errors = desktop.root() / "stderr";

    std::unique_ptr<ChildProcess> tray;
    std::unique_ptr<ChildProcess> vantrel;
    {
        // The test's own connections go before the server does: a lost
        // server would end this process from inside Xlib.
        const DisplayOverride display(*server.name());
        XClient x;
        tray = startTray();
        ASSERT_TRUE(waitUntil([&] { return x.trayManager() != 0; })) << "trayer did not take the tray";
        vantrel = std::make_unique<ChildProcess>(std::vector<std::string>{VANTREL_EXECUTABLE},
                                                 std::map<std::string, std::string>{}, errors.string());
        X11TestKeyboard keyboard;
        ASSERT_TRUE(awaitWatching(desktop, keyboard)) << "F12 never opened anything";
        ASSERT_TRUE(waitUntil([&] { return showsTrayIcon(x, vantrel->pid()); })) << "no icon in the tray";
    }

    server.stop(SIGKILL);
    const auto gone = std::chrono::steady_clock::now();
    // An exit status, not a signal: no abort, no core dump.
    const auto status = vantrel->waitForExit(1s);
    EXPECT_TRUE(status) << "still running, or ended by a signal, a second after the server went:\n"
                        << readFile(errors);
    EXPECT_LT(std::chrono::steady_clock::now() - gone, 1200ms);
}

TEST(DesktopFaults, WithoutAnXDisplayTheProgramSaysSoInOneLineAndFails)
{
    ProbeDesktop desktop;
    const fs::path errors = desktop.root() / "stderr";
    {
        ChildProcess vantrel({VANTREL_EXECUTABLE}, {{"DISPLAY", ""}}, errors.string());
        EXPECT_EQ(vantrel.waitForExit(10s), 1);
    }
    EXPECT_EQ(readFile(errors), "vantrel: no X display (DISPLAY is not set)\n");

    // A display that was there and is gone.
    std::string name;
    {
        PrivateXServer server;
        ASSERT_TRUE(server.name());
        name = *server.name();
    }
    {
        ChildProcess vantrel({VANTREL_EXECUTABLE}, {{"DISPLAY", name}}, errors.string());
        EXPECT_EQ(vantrel.waitForExit(10s), 1);
    }
    EXPECT_EQ(readFile(errors), "vantrel: cannot open the X display \"" + name + "\"\n");
}

} // namespace
