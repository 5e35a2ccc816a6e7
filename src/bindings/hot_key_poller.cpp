#include "bindings/hot_key_poller.h"

namespace vantrel {

bool HotKeyPoller::tick()
{
    const bool alive = keys_.collect();
    // Presses collected before a loss are still honoured.
    for (const auto key : platform::kFunctionKeys) {
        const auto state = keys_.query(key);
        for (unsigned i = 0; i < state.pressesSincePreviousQuery; ++i)
            opener_.open(bindings_.live(key));
    }
    return alive;
}

} // namespace vantrel
