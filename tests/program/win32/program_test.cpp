// The whole vantrel.exe under Wine, driven from outside: bindings to
// recording programs, keys sent with SendInput and typed with XTest, the
// command line, the tray icon and its menu, and the settings in the
// registry. Each test works on the one settings key of the Wine prefix and
// runs alone.
#include "program_driver.h"
#include "windows/design/frmKeys_design.h"
#include "windows/win32/designed_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>

using namespace vantrel::test::program;

namespace {

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { removeEverySettingsKey(); }
    void TearDown() override { removeEverySettingsKey(); }

    void bind(const wchar_t *key, const Recorder &recorder) { setString(Place::UsersKey, key, recorder.path()); }

    TestFolder folder;
};

TEST_F(ProgramTest, TheCommandLineAnswersOnStandardOutputAndRefusesWhatItDoesNotKnow)
{
    const Finished version = runVantrel(L"--version");
    EXPECT_EQ(version.status, 0u);
    EXPECT_EQ(version.out, "Vantrel 2.00\n");

    const Finished help = runVantrel(L"--help");
    EXPECT_EQ(help.status, 0u);
    EXPECT_NE(help.out.find("--press KEY"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("Settings: HKEY_CURRENT_USER\\Software\\Morvask\\Quintor\n"), std::string::npos)
        << help.out;

    const Finished unknown = runVantrel(L"--verbose");
    EXPECT_EQ(unknown.status, 2u);
    EXPECT_NE(unknown.err.find("--verbose"), std::string::npos) << unknown.err;
    EXPECT_EQ(runVantrel(L"--press F13").status, 2u);
    EXPECT_EQ(runVantrel(L"--press").status, 2u);

    const Finished alone = runVantrel(L"--press F8");
    EXPECT_EQ(alone.status, 1u);
    EXPECT_NE(alone.err.find("no Vantrel is running"), std::string::npos) << alone.err;
}

TEST_F(ProgramTest, EveryTapOfABoundKeyOpensItsFileOnceAndAnUnboundKeyNothing)
{
    const Recorder six(folder, L"six.exe");
    const Recorder seven(folder, L"seven.exe");
    bind(L"F6", six);
    bind(L"F7", seven);
    RunningVantrel vantrel(folder);
    ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
    // Under Wine, sent keys go nowhere while no window has the focus.
    const FocusedWindow inFront(folder);

    sendTaps(VK_F6, 3);
    sendTaps(VK_F8, 2);
    EXPECT_EQ(six.runsSettled(3), 3);
    EXPECT_EQ(seven.runs(), 0);
}

TEST_F(ProgramTest, AHeldKeyOpensOnceAndTheFocusedProgramStillGetsEveryKey)
{
    const Recorder seven(folder, L"seven.exe");
    bind(L"F7", seven);
    RunningVantrel vantrel(folder);
    ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
    const FocusedWindow typingHere(folder);
    ASSERT_TRUE(typingHere.focused());

    // Long enough for the keyboard's auto-repeat to start.
    runLinux(folder, "xdotool keydown F7 sleep 1.2 keyup F7 sleep 0.1 key F9");
    EXPECT_EQ(seven.runsSettled(1), 1);
    EXPECT_GT(FocusedWindow::keyDowns, 2) << "the held F7 and the unbound F9 were taken from the focused window";
}

TEST_F(ProgramTest, ASecondCopyEndsAndPressesAreHandedToTheRunningOne)
{
    const Recorder six(folder, L"six.exe");
    bind(L"F6", six);
    RunningVantrel vantrel(folder);
    ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();

    const Finished second = runVantrel(L"");
    EXPECT_EQ(second.status, 0u) << second.err;
    EXPECT_FALSE(vantrel.hasEnded(0ms));

    EXPECT_EQ(runVantrel(L"--press F6").status, 0u);
    EXPECT_EQ(runVantrel(L"--press f6").status, 0u);
    const Finished unbound = runVantrel(L"--press F12");
    EXPECT_EQ(unbound.status, 1u);
    EXPECT_EQ(unbound.err, "vantrel: F12 is not opened: no file is bound to it\n");
    EXPECT_EQ(six.runsSettled(2), 2);
}

TEST_F(ProgramTest, BindingsTheOriginalLeftAreReadAtTheFirstStartAndNeverWrittenThere)
{
    const Recorder six(folder, L"six.exe");
    const Recorder seven(folder, L"seven.exe");
    const Recorder oldSeven(folder, L"old seven.exe");
    setString(Place::MachineKey, L"F6", six.path());
    setString(Place::MachineKey, L"F7", oldSeven.path());
    // What Windows kept of the original's own later writes, for this user.
    setString(Place::VirtualStore, L"F7", seven.path());
    {
        RunningVantrel vantrel(folder);
        ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
        EXPECT_EQ(runVantrel(L"--press F6").status, 0u);
        EXPECT_EQ(runVantrel(L"--press F7").status, 0u);
        EXPECT_EQ(six.runsSettled(1), 1);
        EXPECT_EQ(seven.runsSettled(1), 1);
        EXPECT_EQ(oldSeven.runs(), 0);
    }
    EXPECT_FALSE(keyExists(Place::UsersKey));
    EXPECT_EQ(stringAt(Place::MachineKey, L"F7"), oldSeven.path().wstring());
    EXPECT_EQ(stringAt(Place::VirtualStore, L"F7"), seven.path().wstring());
}

TEST_F(ProgramTest, OnceTheUsersKeyExistsTheOriginalsPlacesAreLeftAlone)
{
    const Recorder six(folder, L"six.exe");
    setString(Place::MachineKey, L"F6", six.path());
    setString(Place::UsersKey, L"F8", L"");
    RunningVantrel vantrel(folder);
    ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
    EXPECT_EQ(runVantrel(L"--press F6").status, 1u);
    EXPECT_EQ(six.runsSettled(0), 0);
}

TEST_F(ProgramTest, ValuesOfOtherTypesLongAndForeignPathsHurtNothing)
{
    const Recorder seven(folder, L"seven.exe");
    const Recorder nine(folder, L"r\u00e9corder \u65e5\u672c \U0001F525.exe");
    const Recorder ten(folder, L"ten.exe");
    setValue(Place::UsersKey, L"F6", REG_DWORD, {1, 0, 0, 0});
    const std::wstring expandable = seven.path().wstring();
    const auto *bytes = reinterpret_cast<const BYTE *>(expandable.c_str());
    setValue(Place::UsersKey, L"F7", REG_EXPAND_SZ,
             std::vector<BYTE>(bytes, bytes + (expandable.size() + 1) * sizeof(wchar_t)));
    setString(Place::UsersKey, L"F8", L"C:\\" + std::wstring(40000, L'x') + L".exe");
    bind(L"F9", nine);
    bind(L"F10", ten);
    RunningVantrel vantrel(folder);
    ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
    const FocusedWindow inFront(folder);

    sendTaps(VK_F6, 1);
    sendTaps(VK_F7, 1);
    sendTaps(VK_F8, 1);
    sendTaps(VK_F9, 1);
    sendTaps(VK_F10, 1);
    EXPECT_EQ(nine.runsSettled(1), 1);
    EXPECT_EQ(ten.runsSettled(1), 1);
    EXPECT_EQ(seven.runs(), 0);
    EXPECT_FALSE(vantrel.hasEnded(0ms)) << vantrel.diagnostics();
}

// Without a tray host, Wine shows the icons in a window of its own, from the
// top left of its client area.
HWND wineTrayWindow() { return FindWindowW(nullptr, L"Wine System Tray"); }

// Clicks the first icon with the mouse button given (1 left, 3 right) and
// says where. Wine maps its tray window on the X display some time after the
// icon is in: a click before that falls on the root window, so xdotool first
// waits until X shows the window.
POINT clickFirstTrayIcon(const TestFolder &folder, int button)
{
    POINT point{8, 8};
    ClientToScreen(wineTrayWindow(), &point);
    runLinux(folder, "xdotool search --sync --onlyvisible --name 'Wine System Tray' mousemove " +
                         std::to_string(point.x) + " " + std::to_string(point.y) + " click " + std::to_string(button));
    return point;
}

// A top-level window of the given window's program on the screen, of the
// class and title given (any title for null).
HWND shownWindowOf(HWND owner, const wchar_t *windowClass, const wchar_t *title)
{
    DWORD program = 0;
    GetWindowThreadProcessId(owner, &program);
    for (HWND shown = nullptr; (shown = FindWindowExW(nullptr, shown, windowClass, title));) {
        DWORD shownProgram = 0;
        GetWindowThreadProcessId(shown, &shownProgram);
        if (shownProgram == program && IsWindowVisible(shown))
            return shown;
    }
    return nullptr;
}

// A pop-up menu of the given window's program on the screen.
HWND shownMenuOf(HWND owner) { return shownWindowOf(owner, L"#32768", nullptr); }

TEST_F(ProgramTest, TheTrayMenuPopsUpAtTheIconAndExitTakesTheIconAwayAndEndsTheProgram)
{
    RunningVantrel vantrel(folder);
    ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
    const HWND resident = vantrel.residentWindow();
    ASSERT_NE(wineTrayWindow(), nullptr);

    const POINT icon = clickFirstTrayIcon(folder, 3);
    HWND menu = nullptr;
    ASSERT_TRUE(eventually([&] { return (menu = shownMenuOf(resident)) != nullptr; })) << "no menu popped up";
    RECT shown{};
    GetWindowRect(menu, &shown);
    EXPECT_LE(std::abs(shown.left - icon.x), 2);
    EXPECT_LE(std::abs(shown.top - icon.y), 2);

    // E&xit is the last item.
    runLinux(folder, "xdotool mousemove " + std::to_string(shown.left + 12) + " " + std::to_string(shown.bottom - 8) +
                         " sleep 0.2 click 1");
    ASSERT_TRUE(vantrel.hasEnded(5s));
    EXPECT_EQ(vantrel.exitStatus(), 0u);
    EXPECT_FALSE(trayIconShown(resident));
}

// The installer and the uninstaller end a running copy this way before they
// replace or remove its files, and an upgrade starts the new one at once.
TEST_F(ProgramTest, AskedToCloseItEndsAsExitDoesAndANewCopyCanStartAtOnce)
{
    auto first = std::make_unique<RunningVantrel>(folder);
    ASSERT_TRUE(first->waitUntilResident()) << first->diagnostics();
    const HWND resident = first->residentWindow();
    SendMessageW(resident, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first->hasEnded(5s));
    EXPECT_EQ(first->exitStatus(), 0u);
    EXPECT_FALSE(trayIconShown(resident));
    first.reset();

    RunningVantrel next(folder);
    EXPECT_TRUE(next.waitUntilResident()) << next.diagnostics();
}

// The system's own text for an error code, as FormatMessage gives it.
std::wstring systemText(DWORD error)
{
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                   static_cast<DWORD>(std::size(text)), nullptr);
    return text;
}

// The shell's error box waits for the user on a thread of its own, owned by
// no window of the program: the keys, the windows and the end of the
// program go on while it is up.
TEST_F(ProgramTest, AMissingFileGetsTheShellsErrorBoxWhileKeysWindowsAndExitGoOn)
{
    const Recorder seven(folder, L"seven.exe");
    const std::wstring missing = (folder.path() / L"missing.exe").wstring();
    setString(Place::UsersKey, L"F6", missing);
    bind(L"F7", seven);
    RunningVantrel vantrel(folder);
    ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
    const HWND resident = vantrel.residentWindow();
    const FocusedWindow inFront(folder);

    sendTaps(VK_F6, 1);
    // Wine's shell shows MessageBox's own title and the system's text for
    // the error the lookup ended with.
    HWND box = nullptr;
    ASSERT_TRUE(eventually([&] { return (box = shownWindowOf(resident, L"#32770", L"Error")) != nullptr; }))
        << "no error box; " << vantrel.diagnostics();
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    const std::wstring notFound = systemText(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(textOf(GetDlgItem(box, 0xFFFF)), notFound);

    sendTaps(VK_F7, 1);
    EXPECT_EQ(seven.runsSettled(1), 1);
    // A second copy shows the configuration window.
    EXPECT_EQ(runVantrel(L"").status, 0u);
    const HWND config = FindWindowW(L"Morvask.Vantrel.Window", L"Vantrel Configuration");
    EXPECT_TRUE(eventually([&] { return IsWindowVisible(config) != FALSE; }));
    EXPECT_TRUE(IsWindowEnabled(config));

    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(eventually([&] { return !IsWindow(box); }));
    // The line comes once the shell is done, that is once the box is gone.
    std::string reason(notFound.begin(), notFound.end());
    reason.erase(reason.find_last_not_of("\r\n") + 1);
    // Standard error is in text mode: "\r\n" ends each line.
    const std::string line =
        "vantrel: cannot open \"" + std::string(missing.begin(), missing.end()) + "\": " + reason + "\r\n";
    EXPECT_TRUE(eventually([&] { return vantrel.diagnostics().find(line) != std::string::npos; }))
        << vantrel.diagnostics();

    // Another box, up at the end.
    sendTaps(VK_F6, 1);
    ASSERT_TRUE(eventually([&] { return shownWindowOf(resident, L"#32770", L"Error") != nullptr; }));
    PostMessageW(resident, WM_CLOSE, 0, 0);
    EXPECT_TRUE(vantrel.hasEnded(5s));
    EXPECT_EQ(vantrel.exitStatus(), 0u);
}

TEST_F(ProgramTest, AClickOnTheIconShowsTheConfigurationWindow)
{
    RunningVantrel vantrel(folder);
    ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
    const HWND config = FindWindowW(L"Morvask.Vantrel.Window", L"Vantrel Configuration");
    ASSERT_NE(config, nullptr);
    EXPECT_FALSE(IsWindowVisible(config));

    clickFirstTrayIcon(folder, 1);
    EXPECT_TRUE(eventually([&] { return IsWindowVisible(config) != FALSE; }));
}

std::wstring listLine(HWND list, int line)
{
    wchar_t text[1024] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(text));
    return text;
}

TEST_F(ProgramTest, ViewKeysListsThePathCopiesAndExecuteOpensTheSelectedOne)
{
    const Recorder six(folder, L"six.exe");
    bind(L"F6", six);
    RunningVantrel vantrel(folder);
    ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
    const HWND resident = vantrel.residentWindow();

    clickFirstTrayIcon(folder, 3);
    HWND menu = nullptr;
    ASSERT_TRUE(eventually([&] { return (menu = shownMenuOf(resident)) != nullptr; })) << "no menu popped up";
    RECT shown{};
    GetWindowRect(menu, &shown);
    // &View Keys is the second of the three items above and below the
    // separator, about two fifths down the menu.
    runLinux(folder, "xdotool mousemove " + std::to_string(shown.left + 12) + " " +
                         std::to_string(shown.top + (shown.bottom - shown.top) * 2 / 5) + " sleep 0.2 click 1");
    HWND keyList = nullptr;
    ASSERT_TRUE(eventually([&] {
        keyList = FindWindowW(L"Morvask.Vantrel.Window", L"View Key Configuration");
        return keyList && IsWindowVisible(keyList);
    })) << "no key list";

    const auto &design = vantrel::design::frmKeys::window();
    const HWND list =
        GetDlgItem(keyList, vantrel::win32_windows::itemNumber(design, vantrel::design::frmKeys::lstKeys));
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 7);
    EXPECT_EQ(listLine(list, 0), L"F6    " + six.path().wstring());
    EXPECT_EQ(listLine(list, 6), L"F12   ");

    // The line chosen as a click chooses it, then the list tells its window.
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    SendMessageW(
        keyList, WM_COMMAND,
        MAKEWPARAM(vantrel::win32_windows::itemNumber(design, vantrel::design::frmKeys::lstKeys), LBN_SELCHANGE),
        reinterpret_cast<LPARAM>(list));
    wchar_t fileName[256] = {};
    GetWindowTextW(
        GetDlgItem(keyList, vantrel::win32_windows::itemNumber(design, vantrel::design::frmKeys::lblExeName)), fileName,
        256);
    EXPECT_STREQ(fileName, L"six.exe");
    PostMessageW(GetDlgItem(keyList, vantrel::win32_windows::itemNumber(design, vantrel::design::frmKeys::cmdExecute)),
                 BM_CLICK, 0, 0);
    EXPECT_EQ(six.runsSettled(1), 1);

    PostMessageW(GetDlgItem(keyList, vantrel::win32_windows::itemNumber(design, vantrel::design::frmKeys::cmdClose)),
                 BM_CLICK, 0, 0);
    EXPECT_TRUE(eventually([&] { return !IsWindow(keyList); }));
}

TEST_F(ProgramTest, TheIconComesBackWhenExplorerSaysTheTaskBarWasMadeAgain)
{
    RunningVantrel vantrel(folder);
    ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
    const HWND resident = vantrel.residentWindow();

    // What a restart of Explorer does: every icon is forgotten, then the
    // new task bar says so to every top-level window.
    NOTIFYICONDATAW forgotten{};
    forgotten.cbSize = sizeof forgotten;
    forgotten.hWnd = resident;
    forgotten.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &forgotten));
    ASSERT_FALSE(trayIconShown(resident));
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(eventually([&] { return trayIconShown(resident); }));
}

} // namespace
