#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Xlib stays out of this header: its macros clash with GoogleTest's names.
struct _XDisplay;

namespace vantrel::test {

using XWindowId = unsigned long;

// What a test sees of one X window.
struct WindowInfo {
    XWindowId id = 0;
    std::string name;               // _NET_WM_NAME, else WM_NAME
    std::vector<std::string> types; // _NET_WM_WINDOW_TYPE atoms
    bool viewable = false;
    bool overrideRedirect = false;
    bool xembed = false;                     // carries _XEMBED_INFO (Qt puts it on every window)
    bool embedded = false;                   // inside another program's window
    int x = 0, y = 0, width = 0, height = 0; // on the root window

    bool hasType(const std::string &type) const;
    int centreX() const { return x + width / 2; }
    int centreY() const { return y + height / 2; }
};

struct PointerPosition {
    int x = 0, y = 0;
};

// A connection of the test's own to the display in $DISPLAY, for looking at
// windows and for playing the user through the XTest extension.
class XClient {
public:
    XClient();
    ~XClient();

    XClient(const XClient &) = delete;
    XClient &operator=(const XClient &) = delete;

    // Every window, at any depth, that the given process made.
    std::vector<WindowInfo> windowsOf(pid_t pid);

    // The window holding the tray selection of screen 0, or 0 when no tray runs.
    XWindowId trayManager();

    // What the window manager sends when the user closes a window (Alt+F4).
    void requestClose(XWindowId window);

    void movePointer(int x, int y);
    // Moves the pointer onto the middle of the window where it stands now,
    // the way a user points at it; nothing when it is not on the screen.
    std::optional<PointerPosition> pointAt(XWindowId window);
    // Whether the window still has its middle at the position. A tray moves
    // an icon it has just taken in when it lays itself out anew, taking it
    // from under a pointer that was put on it.
    bool hasMiddleAt(XWindowId window, PointerPosition position);
    // Points at the window until it stays under the pointer: a click then
    // reaches it. Where the pointer rests, or nothing when the time is up.
    std::optional<PointerPosition> pointAtUntilItStays(XWindowId window,
                                                       std::chrono::milliseconds timeout = std::chrono::seconds(30));
    void click(unsigned button);
    void typeKey(const char *keysymName);

    // Right click on the program's tray icon, then the key of a menu item
    // ("x" for "E&xit"), as a user does. False when no icon or no menu came.
    bool chooseInTrayMenu(pid_t program, const char *keysymName);

private:
    std::string atomName(unsigned long atom);
    struct Place {
        int x = 0, y = 0, width = 0, height = 0;
    };
    std::optional<Place> placeOf(XWindowId window);
    void collect(XWindowId window, pid_t pid, std::vector<WindowInfo> &found);

    _XDisplay *display_ = nullptr;
};

// Polls the condition until it holds or the time is up; says whether it held.
template <class Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(30))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

} // namespace vantrel::test
