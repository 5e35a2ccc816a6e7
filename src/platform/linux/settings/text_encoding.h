#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Conversions between the encodings a settings file may come in and the
// UTF-16 the registry holds. Strict: nothing is guessed or replaced.
namespace vantrel::platform::linux_backend {

// UTF-8 to UTF-16; nothing when the bytes are not well-formed UTF-8
// (overlong forms, encoded surrogates and code points past U+10FFFF
// included), with *badOffset set to the first byte that is wrong.
std::optional<std::u16string> decodeUtf8(std::string_view bytes, std::size_t *badOffset);

// Windows-1252, the ANSI code page of western Windows systems. The five bytes
// it leaves undefined map to the C1 control of the same number, as Windows
// converts them.
std::u16string decodeWindows1252(std::string_view bytes);
// Back again; nothing when a character is not on the page.
std::optional<std::string> encodeWindows1252(std::u16string_view text);

// Index of the first surrogate without its partner, or npos when the text is
// well-formed UTF-16.
std::size_t findUnpairedSurrogate(std::u16string_view text);

// Appends well-formed UTF-16 text as UTF-8.
void appendUtf8(std::string &out, std::u16string_view text);

} // namespace vantrel::platform::linux_backend
