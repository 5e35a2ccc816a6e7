#pragma once

#include "bindings/settings_key.h"

namespace vantrel::win32_app {

// Where Vantrel keeps the bindings on Windows, and where the original
// program left them, to be read at the first start.
SettingsPlaces windowsSettingsPlaces();

} // namespace vantrel::win32_app
