#include "x11_test_keyboard.h"

#include <X11/extensions/XTest.h>

#include <stdexcept>

namespace vantrel::test {

X11TestKeyboard::X11TestKeyboard() : display_(XOpenDisplay(nullptr))
{
    if (!display_)
        throw std::runtime_error("no X display");
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
        XCloseDisplay(display_);
        throw std::runtime_error("the X server has no XTest");
    }
}

X11TestKeyboard::~X11TestKeyboard() { XCloseDisplay(display_); }

unsigned X11TestKeyboard::keycodeOf(KeySym keysym) const
{
    const KeyCode keycode = XKeysymToKeycode(display_, keysym);
    if (keycode == 0)
        throw std::runtime_error("no key gives " + std::string(XKeysymToString(keysym)));
    return keycode;
}

unsigned X11TestKeyboard::unusedKeycode() const
{
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(display_, &minKeycode, &maxKeycode);
    int perKeycode = 0;
    KeySym *keysyms =
        XGetKeyboardMapping(display_, static_cast<KeyCode>(minKeycode), maxKeycode - minKeycode + 1, &perKeycode);
    unsigned found = 0;
    for (int keycode = maxKeycode; keycode >= minKeycode && !found; --keycode) {
        bool empty = true;
        for (int column = 0; column < perKeycode; ++column)
            empty = empty && keysyms[(keycode - minKeycode) * perKeycode + column] == NoSymbol;
        if (empty)
            found = static_cast<unsigned>(keycode);
    }
    XFree(keysyms);
    if (!found)
        throw std::runtime_error("every keycode is in use");
    return found;
}

void X11TestKeyboard::pressKeycode(unsigned keycode) { XTestFakeKeyEvent(display_, keycode, True, CurrentTime); }

void X11TestKeyboard::releaseKeycode(unsigned keycode) { XTestFakeKeyEvent(display_, keycode, False, CurrentTime); }

void X11TestKeyboard::tapKeycode(unsigned keycode)
{
    pressKeycode(keycode);
    releaseKeycode(keycode);
}

void X11TestKeyboard::sync() { XSync(display_, False); }

FocusedWindow::FocusedWindow(Display *display) : display_(display)
{
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 10, 10, 200, 100, 0, 0, 0);
    XSelectInput(display_, window_, KeyPressMask | StructureNotifyMask);
    XMapWindow(display_, window_);
    // Focus can only go to a viewable window.
    XEvent event;
    do
        XWindowEvent(display_, window_, StructureNotifyMask, &event);
    while (event.type != MapNotify);
    XSetInputFocus(display_, window_, RevertToPointerRoot, CurrentTime);
    XSync(display_, False);
}

FocusedWindow::~FocusedWindow()
{
    XDestroyWindow(display_, window_);
    XSync(display_, False);
}

int FocusedWindow::pressesOf(unsigned keycode)
{
    takeEvents();
    return keycode < 256 ? presses_[keycode] : 0;
}

bool FocusedWindow::hasFocus() const
{
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display_, &focus, &revertTo);
    return focus == window_;
}

void FocusedWindow::takeEvents()
{
    XSync(display_, False);
    XEvent event;
    while (XCheckWindowEvent(display_, window_, KeyPressMask, &event))
        if (event.xkey.keycode < 256)
            ++presses_[event.xkey.keycode];
}

} // namespace vantrel::test
