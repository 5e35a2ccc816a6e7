#include "platform/win32/async_key_source.h"

#include <windows.h>

namespace vantrel::platform::windows_backend {

namespace {

struct Sample {
    bool downNow;
    bool pressedSinceLastQuery;
};

Sample sample(FunctionKey key)
{
    const auto state = static_cast<unsigned short>(GetAsyncKeyState(virtualKeyCode(key)));
    return {(state & 0x8000u) != 0, (state & 0x0001u) != 0};
}

} // namespace

bool AsyncKeySource::start(std::string *)
{
    // Presses from before the start are not ours to act on: the first look
    // only learns which keys are down and clears their pressed bits.
    for (const auto key : kFunctionKeys)
        keys_[slotIndex(key)] = {sample(key).downNow, 0};
    return true;
}

bool AsyncKeySource::collect()
{
    for (const auto key : kFunctionKeys) {
        auto &tracked = keys_[slotIndex(key)];
        const Sample now = sample(key);
        // While a key stays down the pressed bit also follows the keyboard's
        // auto-repeat, so it only counts for a key that was up at both looks.
        if (now.downNow ? !tracked.down : (!tracked.down && now.pressedSinceLastQuery))
            ++tracked.presses;
        tracked.down = now.downNow;
    }
    return true;
}

KeyState AsyncKeySource::query(FunctionKey key)
{
    auto &tracked = keys_[slotIndex(key)];
    const KeyState state{tracked.down, tracked.presses};
    tracked.presses = 0;
    return state;
}

} // namespace vantrel::platform::windows_backend
