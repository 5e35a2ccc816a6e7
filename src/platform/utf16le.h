#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::platform {

// Text as the registry stores string values: UTF-16 code units, each as two
// bytes, low byte first, whatever the byte order of the machine.
inline std::vector<std::uint8_t> toUtf16le(std::u16string_view text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xff));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

// The code units such bytes hold; an odd last byte is left out.
inline std::u16string fromUtf16le(std::string_view bytes)
{
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                        (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
    return text;
}

} // namespace vantrel::platform
