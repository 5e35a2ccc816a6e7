// The real program, with bindings in a private settings file and handler
// applications registered on a private desktop: F6 to F9 pressed while a
// window of the test's own has the focus open their files once per press,
// and that window still receives every key.

// GoogleTest comes before Xlib, whose macros (None, Bool...) it cannot bear.
#include <gtest/gtest.h>

#include "bindings_file.h"
#include "child_process.h"
#include "launch_probe_desktop.h"
#include "private_session_bus.h"
#include "process_tree.h"
#include "recording_notification_server.h"
#include "x11_test_keyboard.h"
#include "x_client.h"

#include <X11/keysym.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <thread>

using namespace vantrel::test;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

namespace {

std::size_t opened(const std::vector<LaunchRecord> &records, const Args &args)
{
    return static_cast<std::size_t>(
        std::count_if(records.begin(), records.end(), [&](const auto &record) { return record.args == args; }));
}

TEST(HotKeys, EachPressOpensItsFileOnceWhileAnotherWindowKeepsTheKeys)
{
    ProbeDesktop desktop;
    const fs::path document = desktop.root() / "notes for F6.txt";
    std::ofstream(document) << "some notes\n";
    const fs::path program = desktop.root() / "program for F7";
    fs::copy_file(launchProbe(), program);
    const fs::path entry = desktop.root() / "entry for F8.desktop";
    desktop.writeDesktopEntry(entry, "F8-entry");
    // A name a shell would act on, bound like any other.
    const fs::path hostile = desktop.root() / "-$(touch canary) `touch canary`; touch canary & x.txt";
    std::ofstream(hostile) << "more notes\n";
    const fs::path readiness = desktop.root() / "readiness.desktop";
    desktop.writeDesktopEntry(readiness, "ready");
    writeBindingsFile(desktop.configHome(),
                      {{"F6", document}, {"F7", program}, {"F8", entry}, {"F9", hostile}, {"F12", readiness}});

    const Args documentOpened{launchProbe().string(), "handler", document.string()};
    const Args programRan{program.string()};
    const Args entryLaunched{launchProbe().string(), "F8-entry"};
    const Args hostileOpened{launchProbe().string(), "handler", hostile.string()};
    const Args readinessLaunched{launchProbe().string(), "ready"};

    // A desktop's panel: with a tray there, Vantrel stays out of sight and
    // leaves the focus alone.
    XClient x;
    ChildProcess tray({TRAYER_EXECUTABLE, "--edge", "bottom", "--widthtype", "request", "--height", "24"});
    ASSERT_TRUE(waitUntil([&] { return x.trayManager() != 0; })) << "trayer did not take the tray";

    X11TestKeyboard keyboard;
    FocusedWindow focused(keyboard.display());
    ChildProcess vantrel({VANTREL_EXECUTABLE});

    // Vantrel says nothing when it starts watching: F12 is pressed until it
    // opens its entry.
    int readinessTaps = 0;
    ASSERT_TRUE(waitUntil(
        [&] {
            keyboard.tap(XK_F12);
            keyboard.sync();
            ++readinessTaps;
            return opened(desktop.records(), readinessLaunched) > 0;
        },
        std::chrono::seconds(30)))
        << "F12 never opened anything";

    keyboard.tap(XK_F6);
    keyboard.tap(XK_F6);
    // Held down: the keyboard's auto-repeat sends more presses of F7.
    const unsigned f7 = keyboard.keycodeOf(XK_F7);
    for (int i = 0; i < 6; ++i)
        keyboard.pressKeycode(f7);
    keyboard.releaseKeycode(f7);
    // F8 with Shift, then plain: modifiers make no difference.
    keyboard.press(XK_Shift_L);
    keyboard.tap(XK_F8);
    keyboard.release(XK_Shift_L);
    keyboard.tap(XK_F8);
    keyboard.tap(XK_F8);
    keyboard.tap(XK_F9);
    keyboard.sync();

    ASSERT_TRUE(waitUntil([&] {
        const auto records = desktop.records();
        return opened(records, documentOpened) >= 2 && opened(records, programRan) >= 1 &&
               opened(records, entryLaunched) >= 3 && opened(records, hostileOpened) >= 1;
    })) << "not everything was opened";
    // Time for a stray second opening to show up.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const auto records = desktop.records();
    EXPECT_EQ(opened(records, documentOpened), 2u);
    EXPECT_EQ(opened(records, programRan), 1u);
    EXPECT_EQ(opened(records, entryLaunched), 3u);
    EXPECT_EQ(opened(records, hostileOpened), 1u);
    EXPECT_FALSE(fs::exists(desktop.root() / "canary") || fs::exists("canary")) << "a shell ran";

    EXPECT_TRUE(focused.hasFocus());
    EXPECT_EQ(focused.pressesOf(keyboard.keycodeOf(XK_F6)), 2);
    // The server hands a window only the first of the repeated presses that
    // XTest makes of a key held down.
    EXPECT_GE(focused.pressesOf(f7), 1);
    EXPECT_EQ(focused.pressesOf(keyboard.keycodeOf(XK_F8)), 3);
    EXPECT_EQ(focused.pressesOf(keyboard.keycodeOf(XK_F9)), 1);
    EXPECT_EQ(focused.pressesOf(keyboard.keycodeOf(XK_F12)), readinessTaps);

    // The program it ran is reaped, and Vantrel itself runs on (ended, it
    // would wait here as this test's zombie).
    EXPECT_TRUE(waitUntil([&] { return !hasZombieChild(vantrel.pid()); }));
    EXPECT_FALSE(hasZombieChild(getpid())) << "Vantrel or the tray ended";
}

// What a desktop whose keys Vantrel can't see runs for a key, on X11 too;
// and a second copy, which only shows the first one's window.
TEST(HotKeys, APressHandedOverOpensItsFileOnceAndASecondCopyEnds)
{
    const PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
    ProbeDesktop desktop;
    const fs::path entry = desktop.root() / "entry for F8.desktop";
    desktop.writeDesktopEntry(entry, "F8-entry");
    writeBindingsFile(desktop.configHome(), {{"F8", entry}});
    const Args entryLaunched{launchProbe().string(), "F8-entry"};

    ChildProcess vantrel({VANTREL_EXECUTABLE});
    // Refused until the program holds its name on the bus; the first press
    // taken is the one that counts.
    ASSERT_TRUE(waitUntil(
        [&] {
            return ChildProcess({VANTREL_EXECUTABLE, "--press", "f8"}).waitForExit(std::chrono::seconds(20)) == 0;
        },
        std::chrono::seconds(30)))
        << "vantrel --press never reached the running program";
    ASSERT_TRUE(waitUntil([&] { return opened(desktop.records(), entryLaunched) > 0; })) << "F8's file did not open";

    EXPECT_EQ(ChildProcess({VANTREL_EXECUTABLE}).waitForExit(std::chrono::seconds(20)), 0);
    // Time for a stray second opening to show up.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(opened(desktop.records(), entryLaunched), 1u);
    EXPECT_FALSE(hasZombieChild(getpid())) << "the first copy ended";
}

// A file moved away after it was bound: a tray program's user sees no
// terminal, so the failure comes as a desktop notification, one for the key
// however often it fails.
TEST(HotKeys, AKeyWhoseFileIsGoneSaysSoInOneDesktopNotification)
{
    const PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
    RecordingNotificationServer notifications;
    ASSERT_TRUE(notifications.serving());
    ProbeDesktop desktop;
    const fs::path gone = desktop.root() / "moved away.txt";
    const fs::path document = desktop.root() / "notes.txt";
    std::ofstream(document) << "some notes\n";
    writeBindingsFile(desktop.configHome(), {{"F6", gone}, {"F7", document}});

    ChildProcess vantrel({VANTREL_EXECUTABLE});
    const auto press = [](const char *key) {
        return ChildProcess({VANTREL_EXECUTABLE, "--press", key}).waitForExit(std::chrono::seconds(20)) == 0;
    };
    ASSERT_TRUE(waitUntil([&] { return press("f7"); }, std::chrono::seconds(30)))
        << "vantrel --press never reached the running program";
    ASSERT_TRUE(press("f6"));
    const auto first = notifications.waitFor(1);
    ASSERT_EQ(first.size(), 1u) << "F6's failure was not told";
    EXPECT_EQ(first[0].appName, "Vantrel");
    EXPECT_EQ(first[0].summary, "F6 could not open its file");
    EXPECT_EQ(first[0].body, gone.string() + ": No such file or directory");

    ASSERT_TRUE(press("f6"));
    const auto again = notifications.waitFor(2);
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[1].replacesId, first[0].id) << "a second notice piled up beside the first";
    EXPECT_EQ(opened(desktop.records(), {launchProbe().string(), "handler", document.string()}), 1u);
    EXPECT_EQ(notifications.waitFor(3, std::chrono::milliseconds(500)).size(), 2u) << "F7's success was told";
}

int threadsOf(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Threads:", 0) == 0)
            return std::stoi(line.substr(8));
    return -1;
}

// Programs that go on running cost Vantrel nothing: no thread waits for
// each of them, and each is still reaped when it ends.
TEST(HotKeys, ProgramsThatKeepRunningHoldNoThreadOfVantrels)
{
    ProbeDesktop desktop;
    const fs::path running = desktop.root() / "running";
    fs::create_directory(running);
    const fs::path program = desktop.root() / "long runner";
    std::ofstream(program) << "#!/bin/sh\ntouch \"" << running.string() << "/$$\"\nexec sleep 600\n";
    fs::permissions(program, fs::perms::owner_exec, fs::perm_options::add);
    const fs::path readiness = desktop.root() / "readiness.desktop";
    desktop.writeDesktopEntry(readiness, "ready");
    writeBindingsFile(desktop.configHome(), {{"F6", program}, {"F12", readiness}});

    XClient x;
    ChildProcess tray({TRAYER_EXECUTABLE, "--edge", "bottom", "--widthtype", "request", "--height", "24"});
    ASSERT_TRUE(waitUntil([&] { return x.trayManager() != 0; })) << "trayer did not take the tray";
    X11TestKeyboard keyboard;
    ChildProcess vantrel({VANTREL_EXECUTABLE});
    ASSERT_TRUE(waitUntil(
        [&] {
            keyboard.tap(XK_F12);
            keyboard.sync();
            return opened(desktop.records(), {launchProbe().string(), "ready"}) > 0;
        },
        std::chrono::seconds(30)))
        << "F12 never opened anything";
    // Once the readiness entry's launch thread has gone.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int before = threadsOf(vantrel.pid());

    constexpr int kPrograms = 100;
    for (int i = 0; i < kPrograms; ++i)
        keyboard.tap(XK_F6);
    keyboard.sync();
    const auto started = [&] {
        return static_cast<int>(std::distance(fs::directory_iterator(running), fs::directory_iterator{}));
    };
    ASSERT_TRUE(waitUntil([&] { return started() == kPrograms; }, std::chrono::seconds(60)))
        << started() << " of " << kPrograms << " programs started";
    EXPECT_TRUE(waitUntil([&] { return threadsOf(vantrel.pid()) <= before + 2; }, std::chrono::seconds(10)))
        << kPrograms << " running programs hold " << threadsOf(vantrel.pid()) - before << " threads of Vantrel's";

    for (const auto &entry : fs::directory_iterator(running))
        kill(std::stoi(entry.path().filename().string()), SIGTERM);
    EXPECT_TRUE(waitUntil([&] { return descendantsOf(vantrel.pid()).empty(); }))
        << "programs still running after they were ended";
    EXPECT_TRUE(waitUntil([&] { return !hasZombieChild(vantrel.pid()); })) << "an ended program was left unreaped";
}

} // namespace
