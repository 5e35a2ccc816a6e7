#pragma once

#include "platform/registry.h"

#include <string>

namespace vantrel {

// Where the seven bindings are kept: one REG_SZ value per key, named by the
// key's label. Shared with the original Windows program, so a user's stored
// bindings carry over.
inline constexpr platform::RegHandle kSettingsRoot = platform::HKEY_LOCAL_MACHINE;
inline const std::u16string kSettingsKeyPath = u"Software\\Morvask\\Quintor";

} // namespace vantrel
