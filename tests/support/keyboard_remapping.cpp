#include "keyboard_remapping.h"

namespace vantrel::test {

KeyboardRemapping::~KeyboardRemapping()
{
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
        XChangeKeyboardMapping(display_, it->first, static_cast<int>(it->second.size()), it->second.data(), 1);
    XSync(display_, False);
}

void KeyboardRemapping::set(unsigned keycode, const std::vector<KeySym> &levels)
{
    int perKeycode = 0;
    KeySym *row = XGetKeyboardMapping(display_, static_cast<KeyCode>(keycode), 1, &perKeycode);
    saved_.emplace_back(keycode, std::vector<KeySym>(row, row + perKeycode));
    XFree(row);
    XChangeKeyboardMapping(display_, static_cast<int>(keycode), static_cast<int>(levels.size()),
                           const_cast<KeySym *>(levels.data()), 1);
}

} // namespace vantrel::test
