#pragma once

#include <optional>
#include <string>
#include <string_view>

// File names on Linux are bytes, most often UTF-8 but not always; the program
// holds them as UTF-16 text. A byte 0x80..0xFF that is not part of well-formed
// UTF-8 travels in the text as the lone surrogate U+DC80..U+DCFF (the
// "surrogate escape" convention), so that any file name survives the trip
// through the settings and back.
namespace vantrel::platform::linux_backend {

// The bytes a text names. Nothing when the text cannot name a file: it holds
// a NUL, or a lone surrogate other than an escaped byte.
std::optional<std::string> toNativePath(std::u16string_view text);

// The text for a file name's bytes; undecodable bytes become escapes. For any
// bytes without a NUL, toNativePath(fromNativePath(bytes)) gives them back.
std::u16string fromNativePath(std::string_view bytes);

// The bytes shown on one line of a log: control characters and bytes that are
// not UTF-8 appear as \xNN.
std::string printableName(std::string_view bytes);

// The same for a text that may not name a file: what cannot be turned into
// bytes (a NUL, a lone surrogate) appears as \uNNNN.
std::string printableText(std::u16string_view text);

} // namespace vantrel::platform::linux_backend
