#include "platform/linux/keys/shortcut_press_counter.h"

namespace vantrel::platform::linux_backend {

bool ShortcutPressCounter::stillDown(const Slot &slot, Time now) const
{
    return slot.down && now - slot.lastActivation < kReleaseGuard;
}

void ShortcutPressCounter::activated(FunctionKey key, Time at)
{
    Slot &slot = slots_[slotIndex(key)];
    if (!stillDown(slot, at))
        ++slot.presses;
    slot.down = true;
    slot.lastActivation = at;
}

void ShortcutPressCounter::deactivated(FunctionKey key) { slots_[slotIndex(key)].down = false; }

KeyState ShortcutPressCounter::query(FunctionKey key, Time now)
{
    Slot &slot = slots_[slotIndex(key)];
    KeyState state;
    state.downNow = stillDown(slot, now);
    state.pressesSincePreviousQuery = slot.presses;
    slot.presses = 0;
    return state;
}

} // namespace vantrel::platform::linux_backend
