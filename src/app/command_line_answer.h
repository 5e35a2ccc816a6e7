#pragma once

#include "app/text_sink.h"

#include <optional>
#include <span>

namespace vantrel {

// What every toolkit's program does first, before anything of its own: it
// answers --help and --version on standard output, hands --press KEY to the
// copy running in this session, and rejects anything else on standard error.
// Returns the exit status when the command line was answered so, nothing
// when the program is to start.
std::optional<int> answeredCommandLine(std::span<const char *const> arguments);

// The same, answering on the sinks given, for a program that has no
// standard output of its own to write to.
std::optional<int> answeredCommandLine(std::span<const char *const> arguments, TextSink &out, TextSink &err);

} // namespace vantrel
