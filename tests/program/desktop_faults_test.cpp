// The real program when the desktop around it fails: the tray host killed
// and started again, the keyboard mapping changed under it, the X server
// gone, no X display at all at start, and a bound file on a hung mount.

// GoogleTest and GIO come before Xlib, whose macros (None, Bool...) they
// cannot bear.
#include <gio/gio.h>
#include <gtest/gtest.h>

#include "bindings_file.h"
#include "child_process.h"
#include "hung_file_system.h"
#include "keyboard_remapping.h"
#include "launch_probe_desktop.h"
#include "private_session_bus.h"
#include "private_x_server.h"
#include "process_tree.h"
#include "x11_test_keyboard.h"
#include "x_client.h"

#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
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

TEST(DesktopFaults, TheProgramEndsWhenTheXServerGoes)
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
    // An exit status, not a signal: no abort, no core dump. The time allowed
    // only guards against a hang: a sanitizer build checking for leaks at
    // the end, on a loaded machine, takes seconds.
    const auto status = vantrel->waitForExit(60s);
    EXPECT_TRUE(status) << "still running, or ended by a signal, after the server went:\n" << readFile(errors);
}

TEST(DesktopFaults, AFileOnAHungMountHoldsUpOnlyItsOwnKeyAndExitStillEndsTheProgram)
{
    if (!HungFileSystem::possible())
        GTEST_SKIP() << "mounting a FUSE file system needs root and /dev/fuse";
    ProbeDesktop desktop;
    const fs::path document = desktop.root() / "notes.txt";
    std::ofstream(document) << "some notes\n";
    const fs::path readiness = desktop.root() / "readiness.desktop";
    desktop.writeDesktopEntry(readiness, "ready");
    const fs::path mountPoint = desktop.root() / "hung";
    writeBindingsFile(desktop.configHome(), {{"F6", mountPoint / "notes.txt"}, {"F7", document}, {"F12", readiness}});
    const Args documentOpened{launchProbe().string(), "handler", document.string()};

    XClient x;
    const auto tray = startTray();
    ASSERT_TRUE(waitUntil([&] { return x.trayManager() != 0; })) << "trayer did not take the tray";
    // Made before the file system and so ended after it: a thread of the
    // program stuck in it keeps the process from being reaped until then.
    std::unique_ptr<ChildProcess> vantrel;
    HungFileSystem hung(mountPoint);
    if (!hung.mounted())
        GTEST_SKIP() << "no FUSE file system could be mounted (python3-fusepy)";
    std::string sanitizer = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") + std::string(":") : "";
    // Checking for leaks at the end stops every thread, which one stuck in
    // the kernel never allows.
    vantrel = std::make_unique<ChildProcess>(
        std::vector<std::string>{VANTREL_EXECUTABLE},
        std::map<std::string, std::string>{{"ASAN_OPTIONS", sanitizer + "detect_leaks=0"}});
    X11TestKeyboard keyboard;
    ASSERT_TRUE(awaitWatching(desktop, keyboard)) << "F12 never opened anything";

    keyboard.tap(XK_F6);
    keyboard.tap(XK_F6);
    keyboard.sync();
    keyboard.tap(XK_F7);
    keyboard.sync();
    EXPECT_TRUE(waitUntil([&] { return opened(desktop, documentOpened) == 1; })) << "F7 waited for F6";

    ASSERT_TRUE(x.chooseInTrayMenu(vantrel->pid(), "x")) << "no tray menu";
    EXPECT_TRUE(waitUntil([&] { return !isAlive(vantrel->pid()); }, 60s)) << "Exit did not end the program";
}

// Presses sent over the bus all at once, as a desktop's tools may: how many
// were answered as opening, and the other answers by their text.
struct PressAnswers {
    int opening = 0;
    std::map<std::string, int> refusals;
};

PressAnswers pressAllAtOnce(const std::string &address, const char *key, int count)
{
    PressAnswers answers;
    GMainContext *context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GError *error = nullptr;
    GDBusConnection *bus = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &error);
    if (!bus) {
        answers.refusals[error->message] = count;
        g_error_free(error);
    }
    struct Pending {
        PressAnswers *answers;
        int left;
    } pending{&answers, bus ? count : 0};
    for (int i = 0; bus && i < count; ++i) {
        g_dbus_connection_call(
            bus, "org.morvask.Vantrel", "/org/morvask/Vantrel", "org.morvask.Vantrel", "Press",
            g_variant_new("(s)", key), nullptr, G_DBUS_CALL_FLAGS_NONE, 60000, nullptr,
            [](GObject *source, GAsyncResult *result, gpointer data) {
                auto *pending = static_cast<Pending *>(data);
                GError *failure = nullptr;
                if (GVariant *reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &failure)) {
                    ++pending->answers->opening;
                    g_variant_unref(reply);
                } else {
                    g_dbus_error_strip_remote_error(failure);
                    ++pending->answers->refusals[failure->message];
                    g_error_free(failure);
                }
                --pending->left;
            },
            &pending);
    }
    while (pending.left > 0)
        g_main_context_iteration(context, TRUE);
    if (bus)
        g_object_unref(bus);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return answers;
}

// A press handed over answers only once its file is opening: behind a
// launch stuck on a hung mount, those beyond what may wait are refused, and
// their senders are told so.
TEST(DesktopFaults, PressesBeyondWhatMayWaitBehindAHungFileAreAnsweredAsNotOpened)
{
    if (!HungFileSystem::possible())
        GTEST_SKIP() << "mounting a FUSE file system needs root and /dev/fuse";
    const PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
    ProbeDesktop desktop;
    const fs::path readiness = desktop.root() / "readiness.desktop";
    desktop.writeDesktopEntry(readiness, "ready");
    const fs::path mountPoint = desktop.root() / "hung";
    writeBindingsFile(desktop.configHome(), {{"F6", mountPoint / "notes.txt"}, {"F12", readiness}});

    XClient x;
    const auto tray = startTray();
    ASSERT_TRUE(waitUntil([&] { return x.trayManager() != 0; })) << "trayer did not take the tray";
    std::unique_ptr<ChildProcess> vantrel;
    HungFileSystem hung(mountPoint);
    if (!hung.mounted())
        GTEST_SKIP() << "no FUSE file system could be mounted (python3-fusepy)";
    std::string sanitizer = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") + std::string(":") : "";
    vantrel = std::make_unique<ChildProcess>(
        std::vector<std::string>{VANTREL_EXECUTABLE},
        std::map<std::string, std::string>{{"ASAN_OPTIONS", sanitizer + "detect_leaks=0"}});
    ASSERT_TRUE(waitUntil(
        [&] {
            return ChildProcess({VANTREL_EXECUTABLE, "--press", "F12"}).waitForExit(std::chrono::seconds(20)) == 0;
        },
        30s))
        << "vantrel --press never reached the running program";

    constexpr int kPresses = 2000;
    const PressAnswers answers = pressAllAtOnce(bus.address(), "F6", kPresses);
    int refused = 0;
    for (const auto &[message, times] : answers.refusals) {
        EXPECT_EQ(message, "F6 is not opened: earlier opens of it have not finished") << times << " times";
        refused += times;
    }
    EXPECT_EQ(answers.opening + refused, kPresses);
    EXPECT_GT(refused, 0) << "all " << kPresses << " presses were taken behind a launch that cannot finish";
    EXPECT_GT(answers.opening, 0);

    ASSERT_TRUE(x.chooseInTrayMenu(vantrel->pid(), "x")) << "no tray menu";
    EXPECT_TRUE(waitUntil([&] { return !isAlive(vantrel->pid()); }, 60s)) << "Exit did not end the program";
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

    // In a Wayland session Qt tries the compositor first, then XWayland.
    {
        ChildProcess vantrel(
            {VANTREL_EXECUTABLE},
            {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", "gone-0"}, {"XDG_RUNTIME_DIR", desktop.root().string()}},
            errors.string());
        EXPECT_EQ(vantrel.waitForExit(10s), 1);
    }
    EXPECT_EQ(readFile(errors), "vantrel: cannot reach the Wayland display \"gone-0\" (No such file or directory); "
                                "no X display (DISPLAY is not set)\n");

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
