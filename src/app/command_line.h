#pragma once

#include "app/text_sink.h"
#include "platform/function_key.h"

#include <optional>
#include <span>
#include <string>
#include <variant>

namespace vantrel {

// "Vantrel 2.00": the product name and the version, the minor number in two
// digits.
std::string versionLine();

// What --help prints: what the program does and where its settings live.
std::string helpText();

// What the command line asks of the program.
struct StartProgram {};
struct HandOverPress {
    platform::FunctionKey key;
};
struct ExitWith {
    int status;
};
using Command = std::variant<StartProgram, HandOverPress, ExitWith>;

// The program takes nothing from its command line but --help and --version,
// each alone, and --press KEY. Answers --help and --version on `out`, rejects
// anything else with one line on `err` and status 2. Qt never sees the
// arguments, so its own options (-platform and the like) are rejected as
// well.
Command readCommandLine(std::span<const char *const> arguments, TextSink &out, TextSink &err);

} // namespace vantrel
