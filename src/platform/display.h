#pragma once

#include <string>

namespace vantrel::platform {

// Whether the desktop's display can be reached, checked before any window
// is made: without it the windows can't come up, and on X the toolkit would
// abort the process. On failure *why says why in one line.
bool displayAvailable(std::string *why);

} // namespace vantrel::platform
