#include "platform/linux/open/native_path.h"

#include "platform/linux/utf8.h"

#include <cstdint>

namespace vantrel::platform::linux_backend {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscapedByte(char32_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

} // namespace

std::optional<std::string> toNativePath(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (unit == 0)
            return std::nullopt;
        if (isHighSurrogate(unit)) {
            if (i + 1 == text.size() || !isLowSurrogate(text[i + 1]))
                return std::nullopt;
            const char32_t low = text[++i];
            appendUtf8CodePoint(bytes, fromSurrogatePair(unit, low));
        } else if (isLowSurrogate(unit)) {
            if (!isEscapedByte(unit))
                return std::nullopt;
            bytes += static_cast<char>(unit - kEscapeBase);
        } else {
            appendUtf8CodePoint(bytes, unit);
        }
    }
    return bytes;
}

std::u16string fromNativePath(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const Utf8Sequence decoded = readUtf8Sequence(bytes);
        if (decoded.length == 0) {
            // Only the first byte is escaped: what follows may still decode.
            text += static_cast<char16_t>(kEscapeBase + static_cast<std::uint8_t>(bytes[0]));
            bytes.remove_prefix(1);
        } else {
            appendUtf16CodePoint(text, decoded.codePoint);
            bytes.remove_prefix(decoded.length);
        }
    }
    return text;
}

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
}

std::string printableName(std::string_view bytes)
{
    std::string out;
    const auto appendEscaped = [&](std::uint8_t byte) {
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    };
    while (!bytes.empty()) {
        const Utf8Sequence decoded = readUtf8Sequence(bytes);
        if (decoded.length == 0 || decoded.codePoint < 0x20 || decoded.codePoint == 0x7F) {
            appendEscaped(static_cast<std::uint8_t>(bytes[0]));
            bytes.remove_prefix(1);
        } else {
            out.append(bytes.substr(0, decoded.length));
            bytes.remove_prefix(decoded.length);
        }
    }
    return out;
}

std::string printableText(std::u16string_view text)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = isHighSurrogate(text[i]) && i + 1 < text.size() ? 2 : 1;
        if (const auto bytes = toNativePath(text.substr(i, length))) {
            out += printableName(*bytes);
        } else {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(text[i] >> shift) & 0xF];
            i += 1;
            continue;
        }
        i += length;
    }
    return out;
}

} // namespace vantrel::platform::linux_backend
