#pragma once

#include <string>

namespace vantrel::platform::windows_backend {

// The system's own text for a Win32 error code, in UTF-8, without the line
// break Windows ends it with; the bare number where the system has no text.
std::string systemMessage(unsigned long code);

} // namespace vantrel::platform::windows_backend
