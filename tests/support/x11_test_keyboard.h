#pragma once

#include <X11/Xlib.h>

#include <string>

namespace vantrel::test {

// Key presses injected through XTest on a connection of the test's own, as
// if typed on a keyboard.
class X11TestKeyboard {
public:
    // $DISPLAY; throws when there is no display or no XTest.
    X11TestKeyboard();
    ~X11TestKeyboard();
    X11TestKeyboard(const X11TestKeyboard &) = delete;
    X11TestKeyboard &operator=(const X11TestKeyboard &) = delete;

    Display *display() const { return display_; }

    // The first keycode that gives keysym.
    unsigned keycodeOf(KeySym keysym) const;
    // A keycode that gives no keysym at all.
    unsigned unusedKeycode() const;

    void pressKeycode(unsigned keycode);
    void releaseKeycode(unsigned keycode);
    void tapKeycode(unsigned keycode);
    void press(KeySym keysym) { pressKeycode(keycodeOf(keysym)); }
    void release(KeySym keysym) { releaseKeycode(keycodeOf(keysym)); }
    void tap(KeySym keysym) { tapKeycode(keycodeOf(keysym)); }

    // Sends what is queued and waits until the server has handled it.
    void sync();

private:
    Display *display_;
};

// A window of the test's own holding the keyboard focus, which counts the key
// presses it receives.
class FocusedWindow {
public:
    explicit FocusedWindow(Display *display);
    ~FocusedWindow();
    FocusedWindow(const FocusedWindow &) = delete;
    FocusedWindow &operator=(const FocusedWindow &) = delete;

    // Key presses received so far for keycode.
    int pressesOf(unsigned keycode);

    bool hasFocus() const;

private:
    void takeEvents();

    Display *display_;
    Window window_;
    int presses_[256] = {};
};

} // namespace vantrel::test
