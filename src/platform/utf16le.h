#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::platform {

// Text as the registry stores string values: UTF-16 code units, each as two
// bytes, low byte first, whatever the byte order of the machine.
inline std::vector<std::uint8_t> toUtf16le(const std::u16string &text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xff));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

} // namespace vantrel::platform
