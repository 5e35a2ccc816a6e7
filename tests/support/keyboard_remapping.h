#pragma once

#include <X11/Xlib.h>

#include <utility>
#include <vector>

namespace vantrel::test {

// Gives keycodes other keysyms for as long as it lives, as a user changing
// the keyboard layout would.
class KeyboardRemapping {
public:
    explicit KeyboardRemapping(Display *display) : display_(display) {}
    ~KeyboardRemapping();
    KeyboardRemapping(const KeyboardRemapping &) = delete;
    KeyboardRemapping &operator=(const KeyboardRemapping &) = delete;

    void set(unsigned keycode, KeySym keysym) { set(keycode, std::vector<KeySym>{keysym}); }
    // levels: the keysyms of the keycode's columns, first level of the first
    // group first.
    void set(unsigned keycode, const std::vector<KeySym> &levels);

private:
    Display *display_;
    std::vector<std::pair<int, std::vector<KeySym>>> saved_;
};

} // namespace vantrel::test
