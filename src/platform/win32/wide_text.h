#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel::platform::windows_backend {

// The program's UTF-16 text as the wide-character Win32 calls take it.
std::wstring toWide(std::u16string_view text);

// UTF-8 for messages; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::wstring_view text);
std::string toUtf8(std::u16string_view text);

// UTF-8 such as file names come in, for the wide-character calls; nothing
// where the bytes are not UTF-8.
std::optional<std::wstring> wideFromUtf8(std::string_view utf8);

} // namespace vantrel::platform::windows_backend
