#pragma once

#include <string>
#include <string_view>

namespace vantrel::platform::windows_backend {

// The program's UTF-16 text as the wide-character Win32 calls take it.
std::wstring toWide(std::u16string_view text);

// UTF-8 for messages; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::wstring_view text);
std::string toUtf8(std::u16string_view text);

} // namespace vantrel::platform::windows_backend
