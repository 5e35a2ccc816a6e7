#pragma once

#include <string>

namespace vantrel::platform::linux_backend {

// Why XOpenDisplay(nullptr) gave no display, in one line.
std::string displayOpenFailure();

} // namespace vantrel::platform::linux_backend
