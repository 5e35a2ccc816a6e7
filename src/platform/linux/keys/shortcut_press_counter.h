#pragma once

#include "platform/key_source.h"

#include <array>
#include <chrono>

namespace vantrel::platform::linux_backend {

// Turns the desktop's shortcut signals into the key source's answers, with
// the rules the X11 source follows: one press per press, however long the key
// is held. The desktop repeats its activation while a key is held (every
// 40 ms after about 0.7 s on KDE) and reports the release once; a repeated
// activation of a key still down is no press. A desktop that never reports
// the release, or a release lost on the way, must not leave the key down for
// good: a key with no activation for a second counts as released.
class ShortcutPressCounter {
public:
    // Times on one monotonic clock; the counter never reads a clock itself.
    using Time = std::chrono::steady_clock::duration;
    static constexpr Time kReleaseGuard = std::chrono::seconds(1);

    void activated(FunctionKey key, Time at);
    void deactivated(FunctionKey key);

    // The key's state at the given time; resets its press count.
    KeyState query(FunctionKey key, Time now);

private:
    struct Slot {
        bool down = false;
        Time lastActivation{};
        unsigned presses = 0;
    };
    bool stillDown(const Slot &slot, Time now) const;

    std::array<Slot, kFunctionKeyCount> slots_{};
};

} // namespace vantrel::platform::linux_backend
