#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string>

namespace vantrel {

// "Vantrel 2.00": the product name and the version, the minor number in two
// digits.
std::string versionLine();

// What --help prints: what the program does and where its settings live.
std::string helpText();

// The program takes nothing from its command line but --help and --version,
// each alone. Answers those on `out`, rejects anything else with one line on
// `err`, and returns the exit status; returns nothing when the program should
// start. Qt never sees the arguments, so its own options (-platform and the
// like) are rejected as well.
std::optional<int> answerCommandLine(std::span<const char *const> arguments, std::ostream &out, std::ostream &err);

} // namespace vantrel
