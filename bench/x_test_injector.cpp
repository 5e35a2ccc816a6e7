#include "tap_flood.h"

#include "platform/function_key.h"
#include "x11_test_keyboard.h"

#include <X11/keysym.h>

#include <array>

namespace vantrel::bench {

TapInjector xTestInjector(test::X11TestKeyboard &keyboard)
{
    std::array<unsigned, platform::kFunctionKeyCount> keycodes{};
    for (std::size_t slot = 0; slot < platform::kFunctionKeyCount; ++slot)
        keycodes[slot] = keyboard.keycodeOf(XK_F6 + slot);
    return [&keyboard, keycodes](std::size_t slot) {
        const auto sent = std::chrono::steady_clock::now();
        keyboard.pressKeycode(keycodes[slot]);
        XFlush(keyboard.display());
        keyboard.releaseKeycode(keycodes[slot]);
        XFlush(keyboard.display());
        return sent;
    };
}

} // namespace vantrel::bench
