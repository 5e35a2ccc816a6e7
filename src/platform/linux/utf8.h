#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 as GLib reads and writes it: strictly, without overlong forms,
// encoded surrogates or code points past U+10FFFF. The settings file and file
// names both go through here.
namespace vantrel::platform::linux_backend {

inline bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
inline char32_t fromSurrogatePair(char32_t high, char32_t low)
{
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// One well-formed UTF-8 sequence at the start of bytes: its code point and
// length, or a length of 0 when the bytes do not begin with one.
struct Utf8Sequence {
    char32_t codePoint = 0;
    std::size_t length = 0;
};
Utf8Sequence readUtf8Sequence(std::string_view bytes);

void appendUtf8CodePoint(std::string &out, char32_t codePoint);
void appendUtf16CodePoint(std::u16string &out, char32_t codePoint);

} // namespace vantrel::platform::linux_backend
