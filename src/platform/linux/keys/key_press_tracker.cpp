#include "platform/linux/keys/key_press_tracker.h"

namespace vantrel::platform::linux_backend {

void KeyPressTracker::pressed(unsigned keycode)
{
    if (keycode >= kKeycodeCount || down_[keycode])
        return;
    down_[keycode] = true;
    if (const auto key = keyOf_[keycode])
        ++presses_[slotIndex(*key)];
}

void KeyPressTracker::released(unsigned keycode)
{
    if (keycode < kKeycodeCount)
        down_[keycode] = false;
}

KeyState KeyPressTracker::query(FunctionKey key)
{
    KeyState state;
    for (std::size_t keycode = 0; keycode < kKeycodeCount; ++keycode)
        state.downNow = state.downNow || (down_[keycode] && keyOf_[keycode] == key);
    state.pressesSincePreviousQuery = presses_[slotIndex(key)];
    presses_[slotIndex(key)] = 0;
    return state;
}

} // namespace vantrel::platform::linux_backend
