#pragma once

#include "platform/key_source.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>

namespace vantrel::platform::linux_backend {

// Turns a stream of key-down and key-up reports for keycodes into the key
// source's answers. A report of a key going down while it is already down
// (the keyboard's auto-repeat) is no press. The down state is kept per
// keyboard and keycode: the same key held on two keyboards is two presses,
// and a remapping while a key is held does not lose its release.
class KeyPressTracker {
public:
    static constexpr std::size_t kKeycodeCount = 256;
    using KeycodeTable = std::array<std::optional<FunctionKey>, kKeycodeCount>;

    // Which function key each keycode produces, if any.
    void setKeycodes(const KeycodeTable &table) { keyOf_ = table; }

    // device: which keyboard reported it, for sources that can tell.
    void pressed(unsigned keycode, int device = 0);
    void released(unsigned keycode, int device = 0);

    // The key's state; resets its press count.
    KeyState query(FunctionKey key);

private:
    KeycodeTable keyOf_{};
    // (device, keycode) of every key down.
    std::set<std::pair<int, unsigned>> down_;
    std::array<unsigned, kFunctionKeyCount> presses_{};
};

} // namespace vantrel::platform::linux_backend
