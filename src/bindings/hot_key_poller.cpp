#include "bindings/hot_key_poller.h"

namespace vantrel {

bool HotKeyPoller::start(std::string *error)
{
    watching_ = keys_.start(error);
    return watching_;
}

std::string HotKeyPoller::pressHandedOver(platform::FunctionKey key)
{
    const std::u16string &path = bindings_.live(key);
    if (path.empty())
        return "no file is bound to it";
    return opener_.openBinding(key, path);
}

bool HotKeyPoller::tick()
{
    if (!watching_)
        return false;
    watching_ = keys_.collect();
    // Presses collected before a loss are still honoured.
    for (const auto key : platform::kFunctionKeys) {
        const unsigned presses = keys_.query(key).pressesSincePreviousQuery;
        for (unsigned i = 0; i < presses; ++i)
            opener_.openBinding(key, bindings_.live(key));
    }
    return watching_;
}

} // namespace vantrel
