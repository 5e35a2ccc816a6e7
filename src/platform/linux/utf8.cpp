#include "platform/linux/utf8.h"

#include <glib.h>

namespace vantrel::platform::linux_backend {

Utf8Sequence readUtf8Sequence(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const auto lead = static_cast<unsigned char>(bytes[0]);
    // GLib takes a NUL for the end of the text; here it is a character.
    if (lead < 0x80)
        return {lead, 1};
    const gunichar c = g_utf8_get_char_validated(bytes.data(), static_cast<gssize>(bytes.size()));
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2))
        return {};
    return {static_cast<char32_t>(c), static_cast<std::size_t>(g_utf8_skip[lead])};
}

void appendUtf8CodePoint(std::string &out, char32_t codePoint)
{
    char bytes[6];
    out.append(bytes, static_cast<std::size_t>(g_unichar_to_utf8(codePoint, bytes)));
}

void appendUtf16CodePoint(std::u16string &out, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
    } else {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    }
}

} // namespace vantrel::platform::linux_backend
