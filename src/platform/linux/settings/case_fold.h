#pragma once

#include <string>

namespace vantrel::platform::linux_backend {

// Registry names compare without regard to case, in every script: two names
// match when their case-folded forms are equal. Folding uses the Unicode
// simple case folding of the Basic Multilingual Plane, one code unit for one;
// surrogates and other planes are left as they are.
char16_t foldCase(char16_t unit);
std::u16string foldCase(const std::u16string &text);

} // namespace vantrel::platform::linux_backend
