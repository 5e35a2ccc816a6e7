#pragma once

#include <string>

namespace vantrel::platform::linux_backend {

// Whether the Wayland compositor that libwayland would connect to answers on
// its socket (WAYLAND_DISPLAY, "wayland-0" when unset, under
// XDG_RUNTIME_DIR unless absolute); if not, *why says why.
bool waylandDisplayAvailable(std::string *why);

} // namespace vantrel::platform::linux_backend
