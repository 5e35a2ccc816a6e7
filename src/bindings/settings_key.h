#pragma once

#include "platform/registry.h"

#include <string>
#include <vector>

namespace vantrel {

// Where the seven bindings are kept: one REG_SZ value per key, named by the
// key's label. Shared with the original Windows program, so a user's stored
// bindings carry over.
inline constexpr platform::RegHandle kSettingsRoot = platform::HKEY_LOCAL_MACHINE;
inline const std::u16string kSettingsKeyPath = u"Software\\Morvask\\Quintor";

// A registry key: a predefined root and a path below it.
struct SettingsKey {
    platform::RegHandle root;
    std::u16string path;
};

// Where the bindings are read and written, and where earlier programs left
// them: while the key does not exist yet, each value is looked for in the
// earlier places in their order. Only the key itself is ever written.
struct SettingsPlaces {
    SettingsKey key{kSettingsRoot, kSettingsKeyPath};
    std::vector<SettingsKey> earlier;
};

} // namespace vantrel
