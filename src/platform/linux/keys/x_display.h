#pragma once

#include <string>

namespace vantrel::platform::linux_backend {

// Why XOpenDisplay(nullptr) gave no display, in one line.
std::string displayOpenFailure();

// Whether the X display (DISPLAY) can be opened; if not, *why says why.
bool xDisplayAvailable(std::string *why);

} // namespace vantrel::platform::linux_backend
