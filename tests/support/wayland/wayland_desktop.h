#pragma once

#include "child_process.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What a test sees of the Wayland desktop that scripts/with-kwin makes: the
// keyboard, a program holding the focus, the tray, and the session bus.
namespace vantrel::test {

// The Linux key code (what a keyboard sends) of "F6" to "F12".
int linuxKeyCode(const std::string &key);

// Runs the wayland_user program (which scripts/with-kwin must be given with
// --trusted) with the words as its commands; the lines it printed.
std::vector<std::string> playUser(const std::vector<std::string> &commands);

// The session's keyboard, played through KWin's fake-input protocol. Each
// call returns once the compositor has handled the keys.
class WaylandKeyboard {
public:
    void tap(const std::string &key) { type({"tap", code(key)}); }
    void press(const std::string &key) { type({"press", code(key)}); }
    void release(const std::string &key) { type({"release", code(key)}); }
    // Held down for the time, as by a finger, then let go.
    void hold(const std::string &key, std::chrono::milliseconds time);

    // Runs the commands of wayland_user; for each key command, the time (of
    // std::chrono::steady_clock) at which its first key event was sent.
    std::vector<std::chrono::steady_clock::time_point> type(const std::vector<std::string> &commands);

    static std::string code(const std::string &key) { return std::to_string(linuxKeyCode(key)); }
};

// A window shown on the session, as a task bar sees it.
struct ShownWindow {
    long pid = 0;
    bool active = false; // has the keyboard focus
    std::string title;
};
std::vector<ShownWindow> shownWindows();

// A helper program of the harness, running while the object lives, that
// reports what it sees one line at a time on its standard output.
class ReportingProgram {
public:
    explicit ReportingProgram(const std::string &program);
    ~ReportingProgram();

    ReportingProgram(const ReportingProgram &) = delete;
    ReportingProgram &operator=(const ReportingProgram &) = delete;

    std::vector<std::string> lines() const;

private:
    std::filesystem::path folder_;
    std::unique_ptr<ChildProcess> process_;
};

// A window of another program that holds the keyboard focus and records the
// keys it receives. Made once it has the focus.
class RecordingWindow {
public:
    RecordingWindow();

    // Presses of the key ("F8") it has received, its own repeats left out.
    int pressesOf(const std::string &key) const;
    bool hasFocus() const;

private:
    ReportingProgram program_;
};

// A panel's tray on the session bus, as StatusNotifierItem hosts offer it.
// Programs started after it find a tray there.
class Tray {
public:
    Tray();

    // The bus names of the items registered so far.
    std::vector<std::string> items() const;

    // A click on the item's icon; whether the item answered.
    static bool activate(const std::string &item);
    // A click on the entry of the item's menu with the label (mnemonics
    // marked with '_', "E_xit"); whether the item took it.
    static bool clickMenuEntry(const std::string &item, const std::string &label);

private:
    ReportingProgram program_;
};

// Calls a method on the session bus through gdbus: the words after
// "gdbus call --session" (--dest, --object-path, --method and the arguments
// in GVariant text). The reply as gdbus prints it; nothing when the call failed.
std::optional<std::string> callOnSessionBus(const std::vector<std::string> &words);

} // namespace vantrel::test
