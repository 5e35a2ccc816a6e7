#include "platform/linux/keys/key_press_tracker.h"

namespace vantrel::platform::linux_backend {

void KeyPressTracker::pressed(unsigned keycode, int device)
{
    if (keycode >= kKeycodeCount || !down_.emplace(device, keycode).second)
        return;
    if (const auto key = keyOf_[keycode])
        ++presses_[slotIndex(*key)];
}

void KeyPressTracker::released(unsigned keycode, int device) { down_.erase({device, keycode}); }

KeyState KeyPressTracker::query(FunctionKey key)
{
    KeyState state;
    for (const auto &[device, keycode] : down_)
        state.downNow = state.downNow || keyOf_[keycode] == key;
    state.pressesSincePreviousQuery = presses_[slotIndex(key)];
    presses_[slotIndex(key)] = 0;
    return state;
}

} // namespace vantrel::platform::linux_backend
