#pragma once

#include <string>

namespace vantrel::platform::linux_backend {

// Registry names compare without regard to case, in every script, the way
// Windows compares them: two names match when they are equal once every code
// unit is upper-cased on its own (the Unicode simple uppercase mapping of the
// Basic Multilingual Plane). Unlike full case folding this keeps apart what
// Windows keeps apart: the sharp s from its capital, the Kelvin sign from K,
// the Ohm sign from omega. Surrogates and other planes stay as they are.
char16_t foldCase(char16_t unit);
std::u16string foldCase(const std::u16string &text);

} // namespace vantrel::platform::linux_backend
