#pragma once

#include <string_view>

namespace vantrel {

// Writes one diagnostic line to standard error, the newline added, in a
// single write: lines from different threads never run into each other, and
// every program and thread reports the same way (never through Qt's message
// handler, which may send them elsewhere). The line starts with the
// program's name: "vantrel: ...".
void printDiagnostic(std::string_view line);

} // namespace vantrel
