#pragma once

#include "bindings/binding_set.h"
#include "platform/key_source.h"
#include "platform/opener.h"

#include <string>

namespace vantrel {

// One pass over F6 to F12: every fresh press of a key asks the desktop to open
// that key's live path once, keys taken in the fixed order F6 first. A held
// key or the keyboard's auto-repeat opens nothing more.
class HotKeyPoller {
public:
    HotKeyPoller(platform::KeySource &keys, const BindingSet &bindings, platform::Opener &opener)
        : keys_(keys), bindings_(bindings), opener_(opener)
    {
    }

    // Starts the key source; on failure says why in *error. Presses handed
    // over count whether or not the source watches.
    bool start(std::string *error);

    // A press that came from elsewhere than the key source (a command the
    // desktop runs for the key): opens at once exactly what the key would.
    // Returns why nothing is going to open, or the empty text.
    std::string pressHandedOver(platform::FunctionKey key);

    // Returns false when the key source is not watching: never started, or
    // lost for good.
    bool tick();

private:
    platform::KeySource &keys_;
    const BindingSet &bindings_;
    platform::Opener &opener_;
    bool watching_ = false;
};

} // namespace vantrel
