#include "platform/linux/settings/text_encoding.h"

#include "platform/linux/utf8.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace vantrel::platform::linux_backend {

std::optional<std::u16string> decodeUtf8(std::string_view bytes, std::size_t *badOffset)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const Utf8Sequence sequence = readUtf8Sequence(bytes.substr(i));
        if (sequence.length == 0) {
            if (badOffset)
                *badOffset = i;
            return std::nullopt;
        }
        appendUtf16CodePoint(out, sequence.codePoint);
        i += sequence.length;
    }
    return out;
}

namespace {

// 0x80 to 0x9F; the rest of the page is ISO 8859-1, byte for code point.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

std::optional<std::string> encodeWindows1252(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char16_t c : text) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        const auto *high = std::find(std::begin(kHigh), std::end(kHigh), c);
        if (high == std::end(kHigh))
            return std::nullopt;
        out.push_back(static_cast<char>(0x80 + (high - std::begin(kHigh))));
    }
    return out;
}

std::u16string decodeWindows1252(std::string_view bytes)
{
    std::u16string out(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        out[i] = (byte >= 0x80 && byte < 0xA0) ? kHigh[byte - 0x80] : byte;
    }
    return out;
}

std::size_t findUnpairedSurrogate(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            ++i;
        else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i]))
            return i;
    }
    return std::u16string_view::npos;
}

void appendUtf8(std::string &out, std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (isHighSurrogate(cp) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            cp = fromSurrogatePair(cp, text[++i]);
        appendUtf8CodePoint(out, cp);
    }
}

} // namespace vantrel::platform::linux_backend
