#pragma once

#include <string>
#include <string_view>

namespace vantrel::platform {

// Whether the display that Qt's platform `qtPlatform` ("xcb", "wayland")
// talks to can be reached, checked before any window is made: without it the
// windows can't come up, and the toolkit would abort the process. On failure
// *why says why in one line. Platforms the backend has no display of its own
// for count as reachable: they report their own problems. (A Windows
// session always has its desktop: nothing asks there.)
bool displayAvailable(std::string_view qtPlatform, std::string *why);

} // namespace vantrel::platform
