#pragma once

#include "platform/key_source.h"
#include "platform/opener.h"
#include "platform/registry.h"

namespace vantrel {

// The platform facilities the windows use, owned by the application.
struct PlatformServices {
    platform::Registry &registry;
    platform::KeySource &keys;
    platform::Opener &opener;
};

} // namespace vantrel
