#pragma once

// What the tests of the whole Windows program use to drive the real
// vantrel.exe under Wine from outside: its process, the registry as any other
// program sees it, recording programs to bind, keys sent with SendInput, and
// Linux programs (xdotool) that act on the X display Wine draws on.

#include <windows.h>

#include <shellapi.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::test::program {

using namespace std::chrono_literals;

// Waits until the condition holds, at most for the time given.
template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds limit = 10s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        Sleep(10);
    }
}

// A Linux path as Wine shows it, on drive Z:.
std::wstring fromUnix(const char *path);

// A folder of the test's own below Z:\tmp, so that Linux programs see it at
// the same path without the drive letter; removed with the object.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder &) = delete;
    TestFolder &operator=(const TestFolder &) = delete;

    const std::filesystem::path &path() const { return path_; }
    // The folder as Linux programs name it.
    std::string unixPath() const;

private:
    std::filesystem::path path_;
};

// A copy of the recording program under the given name: each run adds a
// line to "<its path>.opened".
class Recorder {
public:
    Recorder(const TestFolder &folder, const std::wstring &name);

    const std::filesystem::path &path() const { return path_; }
    int runs() const;
    // Waits for the runs expected, then a little longer for any that should
    // not come, and says how many there were.
    int runsSettled(int expected) const;

private:
    std::filesystem::path path_;
};

// A program run to its end, with what it wrote.
struct Finished {
    DWORD status = 0;
    std::string out;
    std::string err;
};
// A program with the arguments given (a command-line tail), run to its end.
Finished runProgram(const std::wstring &program, const std::wstring &arguments);
// vantrel.exe of the build with the arguments given, run to its end.
Finished runVantrel(const std::wstring &arguments);

// The text of a window of another program, also of an edit control (which
// GetWindowText does not read across programs); "" from one that does not
// answer.
std::wstring textOf(HWND window);

// The hidden windows of every running Vantrel of the session, whichever
// vantrel.exe it was started from.
std::vector<HWND> residentWindows();
// The file the process that owns the window runs, "" once it has ended.
std::wstring programOf(HWND window);

// The resident vantrel.exe, started in the background with its standard
// error in a file. At the end of the test it is asked to end, or killed.
class RunningVantrel {
public:
    explicit RunningVantrel(const TestFolder &folder);
    ~RunningVantrel();
    RunningVantrel(const RunningVantrel &) = delete;
    RunningVantrel &operator=(const RunningVantrel &) = delete;

    // Until the program is up: its window is there and the keys are watched.
    bool waitUntilResident();
    HWND residentWindow() const;
    bool hasEnded(std::chrono::milliseconds within) const;
    std::optional<DWORD> exitStatus() const;
    std::string diagnostics() const;

private:
    PROCESS_INFORMATION process_{};
    std::filesystem::path errorFile_;
};

// A window of the test's own that has the keyboard focus, Win32's and X's,
// and records the keys it is given: under Wine, sent keys go nowhere while
// no window has the focus.
class FocusedWindow {
public:
    explicit FocusedWindow(const TestFolder &folder);
    ~FocusedWindow();
    FocusedWindow(const FocusedWindow &) = delete;
    FocusedWindow &operator=(const FocusedWindow &) = delete;

    bool focused() const;

    // Key downs of F6 to F12 the window was given, auto-repeats included.
    static inline int keyDowns = 0;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

// HKEY_CURRENT_USER\Software\Morvask\Quintor and the original program's
// places, each written and read as any other program would.
enum class Place {
    UsersKey,     // HKCU\Software\Morvask\Quintor
    MachineKey,   // HKLM\Software\WOW6432Node\Morvask\Quintor
    VirtualStore, // HKCU\Software\Classes\VirtualStore\MACHINE\SOFTWARE\WOW6432Node\Morvask\Quintor
};
void setString(Place place, const std::wstring &name, const std::wstring &value);
void setValue(Place place, const std::wstring &name, DWORD type, const std::vector<BYTE> &data);
std::optional<std::wstring> stringAt(Place place, const std::wstring &name);
bool keyExists(Place place);
// The users' key as Windows' own reg.exe exports it, "" when it cannot.
std::wstring exportedUsersKey(const TestFolder &folder);
// The line of that export that holds a string value: "name"="value", with
// backslashes and quotes escaped.
std::wstring exportedLine(const std::wstring &name, const std::wstring &value);
// Removes every place's key, for a test that starts from none.
void removeEverySettingsKey();

// Whether the program whose window this is shows its tray icon: the shell
// takes a change of an icon only when it exists.
bool trayIconShown(HWND owner);

// Taps of a key with SendInput, as another program would send them.
void sendTaps(WORD virtualKey, int count);

// Runs a Linux command line (through /bin/sh) and waits until it is done.
void runLinux(const TestFolder &folder, const std::string &command);

} // namespace vantrel::test::program
