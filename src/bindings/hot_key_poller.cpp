#include "bindings/hot_key_poller.h"

#include <utility>

namespace vantrel {

bool HotKeyPoller::start(std::string *error)
{
    watching_ = keys_.start(error);
    return watching_;
}

void HotKeyPoller::addPresses(const platform::PressCounts &presses)
{
    for (std::size_t slot = 0; slot < presses.size(); ++slot)
        handedOver_[slot] += presses[slot];
}

bool HotKeyPoller::tick()
{
    const bool queried = watching_;
    watching_ = watching_ && keys_.collect();
    // Presses collected before a loss are still honoured.
    for (const auto key : platform::kFunctionKeys) {
        unsigned presses = std::exchange(handedOver_[platform::slotIndex(key)], 0u);
        if (queried)
            presses += keys_.query(key).pressesSincePreviousQuery;
        for (unsigned i = 0; i < presses; ++i)
            opener_.open(bindings_.live(key));
    }
    return watching_;
}

} // namespace vantrel
