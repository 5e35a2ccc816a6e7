#include "platform/linux/open/native_path.h"

#include <cstdint>

namespace vantrel::platform::linux_backend {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool isEscapedByte(char32_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUtf16(std::u16string &out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// One well-formed UTF-8 sequence at the start of bytes, shortest form only,
// no surrogates, nothing past U+10FFFF: its code point and length, or a
// length of 0 when the first byte does not begin one.
struct Decoded {
    char32_t codePoint = 0;
    std::size_t length = 0;
};

Decoded decodeOne(std::string_view bytes)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80)
        return {lead, 1};

    std::size_t length = 0;
    std::uint8_t secondLow = 0x80;
    std::uint8_t secondHigh = 0xBF;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        if (lead == 0xE0)
            secondLow = 0xA0; // overlong below
        else if (lead == 0xED)
            secondHigh = 0x9F; // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        if (lead == 0xF0)
            secondLow = 0x90; // overlong below
        else if (lead == 0xF4)
            secondHigh = 0x8F; // past U+10FFFF above
    } else {
        return {};
    }
    if (bytes.size() < length)
        return {};
    for (std::size_t i = 1; i < length; ++i) {
        const std::uint8_t low = i == 1 ? secondLow : 0x80;
        const std::uint8_t high = i == 1 ? secondHigh : 0xBF;
        if (byte(i) < low || byte(i) > high)
            return {};
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    return {codePoint, length};
}

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
            appendUtf8(bytes, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else if (isLowSurrogate(unit)) {
            if (!isEscapedByte(unit))
                return std::nullopt;
            bytes += static_cast<char>(unit - kEscapeBase);
        } else {
            appendUtf8(bytes, unit);
        }
    }
    return bytes;
}

std::u16string fromNativePath(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const Decoded decoded = decodeOne(bytes);
        if (decoded.length == 0) {
            // Only the first byte is escaped: what follows may still decode.
            text += static_cast<char16_t>(kEscapeBase + static_cast<std::uint8_t>(bytes[0]));
            bytes.remove_prefix(1);
        } else {
            appendUtf16(text, decoded.codePoint);
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
        const Decoded decoded = decodeOne(bytes);
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
