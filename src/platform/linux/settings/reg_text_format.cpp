#include "platform/linux/settings/reg_text_format.h"

#include "platform/linux/settings/case_fold.h"
#include "platform/linux/settings/text_encoding.h"
#include "platform/registry.h"
#include "platform/utf16le.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

namespace vantrel::platform::linux_backend {

namespace {

constexpr std::u16string_view kHeaderV5 = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kHeaderV4 = u"REGEDIT4";

constexpr std::uint32_t kTypeString = 1;
constexpr std::uint32_t kTypeExpandString = 2;
constexpr std::uint32_t kTypeBinary = 3;
constexpr std::uint32_t kTypeDword = 4;
constexpr std::uint32_t kTypeMultiString = 7;

// Ends the parse; caught once, in parseRegText.
struct Fault {
    std::size_t line;
    std::string message;
};

std::size_t lineAt(std::u16string_view text, std::size_t index)
{
    return 1 + std::count(text.begin(), text.begin() + std::min(index, text.size()), u'\n');
}

std::u16string_view trim(std::u16string_view text)
{
    const auto first = text.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(u" \t\r") - first + 1);
}

bool startsWithAsciiNoCase(std::u16string_view text, std::u16string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char16_t a, char16_t b) { return foldCase(a) == foldCase(b); });
}

// A piece of the user's text for a message: short, and cut where it cannot
// split a surrogate pair.
std::string quoted(std::u16string_view text)
{
    constexpr std::size_t kLimit = 24;
    std::size_t length = std::min(text.size(), kLimit);
    if (length < text.size() && length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
        --length;
    std::string out = "\"";
    appendUtf8(out, text.substr(0, length));
    out += length < text.size() ? "...\"" : "\"";
    return out;
}

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// One to maxDigits hex digits and nothing else.
std::optional<std::uint32_t> parseHexNumber(std::u16string_view digits, std::size_t maxDigits)
{
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    std::uint32_t number = 0;
    for (char16_t c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        number = number << 4 | static_cast<std::uint32_t>(digit);
    }
    return number;
}

// The file as UTF-16 text, with how it was written. A line of a UTF-8 file
// that is no UTF-8 is left empty in the text, and kept in undecodable by its
// number (without its line end) for the parser to judge.
struct DecodedText {
    std::u16string text;
    RegTextStyle style;
    std::map<std::size_t, std::string> undecodable;
};

// UTF-8, line by line. A line kept as bytes keeps its carriage return
// unless the file's lines end in CRLF, so that it is written back as it was.
void decodeUtf8Lines(std::string_view body, DecodedText &decoded)
{
    const auto firstEnd = body.find('\n');
    const bool crlf = firstEnd != std::string_view::npos && firstEnd > 0 && body[firstEnd - 1] == '\r';
    decoded.text.reserve(body.size());
    std::size_t number = 1;
    for (std::size_t start = 0; start <= body.size(); ++number) {
        const auto end = std::min(body.find('\n', start), body.size());
        const std::string_view line = body.substr(start, end - start);
        if (auto utf16 = decodeUtf8(line, nullptr)) {
            decoded.text += *utf16;
        } else {
            decoded.undecodable.emplace(number, crlf && line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
        }
        if (end < body.size())
            decoded.text.push_back(u'\n');
        start = end + 1;
    }
}

DecodedText decode(std::string_view bytes)
{
    if (bytes.size() > kMaxRegTextBytes)
        throw Fault{0, "the file is larger than " + std::to_string(kMaxRegTextBytes >> 20) + " MiB"};

    DecodedText decoded;
    std::u16string &text = decoded.text;
    if (bytes.starts_with("\xFF\xFE")) {
        const std::string_view body = bytes.substr(2);
        text = fromUtf16le(body);
        if (body.size() % 2 != 0)
            throw Fault{lineAt(text, text.size()), "the UTF-16 text ends in the middle of a character"};
        if (const auto bad = findUnpairedSurrogate(text); bad != std::u16string::npos)
            throw Fault{lineAt(text, bad), "invalid UTF-16 (a surrogate without its partner)"};
        decoded.style.encoding = RegTextEncoding::Utf16le;
    } else if (bytes.starts_with("\xFE\xFF")) {
        throw Fault{1, "UTF-16 big-endian text is not supported"};
    } else if (!bytes.starts_with("\xEF\xBB\xBF") && bytes.starts_with("REGEDIT4")) {
        text = decodeWindows1252(bytes);
        decoded.style.encoding = RegTextEncoding::Ansi;
    } else {
        const bool bom = bytes.starts_with("\xEF\xBB\xBF");
        decodeUtf8Lines(bom ? bytes.substr(3) : bytes, decoded);
        decoded.style.encoding = bom ? RegTextEncoding::Utf8WithBom : RegTextEncoding::Utf8;
    }
    if (const auto nul = text.find(u'\0'); nul != std::u16string::npos)
        throw Fault{lineAt(text, nul), "a NUL character"};
    const auto firstEnd = text.find(u'\n');
    decoded.style.crlf = firstEnd != std::u16string::npos && firstEnd > 0 && text[firstEnd - 1] == u'\r';
    return decoded;
}

// The name at the start of a value line that is not all text, where the
// name itself is: "@" or a quoted name.
std::optional<std::u16string> nameOfUnreadable(std::string_view content)
{
    if (content.starts_with('@'))
        return std::u16string();
    std::string name;
    for (std::size_t pos = 1; pos < content.size(); ++pos) {
        char c = content[pos];
        if (c == '"') {
            auto decoded = decodeUtf8(name, nullptr);
            if (!decoded || !isStorableValueName(*decoded))
                return std::nullopt;
            return decoded;
        }
        if (c == '\\') {
            c = ++pos < content.size() ? content[pos] : '\0';
            if (c != '\\' && c != '"')
                return std::nullopt;
        }
        name.push_back(c);
    }
    return std::nullopt;
}

std::string_view trimBytes(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

class LineReader {
public:
    explicit LineReader(std::u16string_view text) : text_(text) {}

    // The next line without its line end, or false at the end of the text.
    bool next(std::u16string_view &line)
    {
        if (pos_ > text_.size())
            return false;
        const auto end = std::min(text_.find(u'\n', pos_), text_.size());
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        ++number_;
        return true;
    }
    std::size_t number() const { return number_; }

private:
    std::u16string_view text_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
};

class Parser {
public:
    Parser(const DecodedText &decoded, RegTextSink &sink)
        : text_(decoded.text), lines_(decoded.text), undecodable_(decoded.undecodable), crlf_(decoded.style.crlf),
          sink_(sink)
    {
    }

    void parse()
    {
        if (text_.empty() && undecodable_.empty())
            return;
        std::u16string_view line;
        lines_.next(line);
        if (undecodable_.contains(1))
            throw Fault{1, "invalid UTF-8"};
        const auto header = trim(line);
        if (header != kHeaderV5 && header != kHeaderV4)
            throw Fault{1, "the first line is not \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\""};
        ansiData_ = header == kHeaderV4;

        bool inSection = false;
        while (lines_.next(line)) {
            if (const auto bad = undecodable_.find(lines_.number()); bad != undecodable_.end()) {
                keepUnreadable(bad->second, inSection);
                continue;
            }
            const auto content = trim(line);
            if (content.empty())
                continue;
            if (content.front() == u';') {
                comments_.emplace_back(content);
            } else if (content.front() == u'[') {
                parseSection(content);
                inSection = true;
            } else if (content.front() == u'"' || content.front() == u'@') {
                if (!inSection)
                    throw Fault{lines_.number(), "a value before the first [key] line"};
                parseValue(content);
            } else {
                throw Fault{lines_.number(), "not a [key], a value or a ; comment: " + quoted(content)};
            }
        }
        sink_.trailingComments(takeComments());
    }

private:
    std::vector<std::u16string> takeComments() { return std::exchange(comments_, {}); }

    // A value line with bytes that are no UTF-8 (a path written in another
    // encoding): that value is refused and kept as it is, with the lines that
    // continue it; the rest of the file still counts. Anything else that is
    // no UTF-8 leaves the file unreadable.
    void keepUnreadable(std::string_view raw, bool inSection)
    {
        const std::size_t number = lines_.number();
        const auto content = trimBytes(raw);
        if (!inSection || !(content.starts_with('"') || content.starts_with('@')))
            throw Fault{number, "invalid UTF-8"};
        auto name = nameOfUnreadable(content);
        if (!name)
            throw Fault{number, "invalid UTF-8"};
        RegValue value;
        value.name = std::move(*name);
        value.comments = takeComments();
        value.unreadableLines.emplace_back(raw);
        while (trimBytes(value.unreadableLines.back()).ends_with('\\')) {
            std::u16string_view line;
            if (!lines_.next(line))
                throw Fault{number, "a value continued past the end of the file"};
            if (const auto bad = undecodable_.find(lines_.number()); bad != undecodable_.end()) {
                value.unreadableLines.push_back(bad->second);
                continue;
            }
            std::string bytes;
            appendUtf8(bytes, crlf_ && line.ends_with(u'\r') ? line.substr(0, line.size() - 1) : line);
            value.unreadableLines.push_back(std::move(bytes));
        }
        sink_.unreadableValue(std::move(value), number);
    }

    void parseSection(std::u16string_view content)
    {
        const std::size_t number = lines_.number();
        if (content.size() < 2 || content.back() != u']')
            throw Fault{number, "a [key] line without its closing ]"};
        std::u16string_view path = content.substr(1, content.size() - 2);
        if (path.starts_with(u'-'))
            throw Fault{number, "key deletions ([-...]) are not supported"};

        const auto rootEnd = std::min(path.find(u'\\'), path.size());
        const auto rootName = path.substr(0, rootEnd);
        const auto root =
            std::find_if(std::begin(kPredefinedRoots), std::end(kPredefinedRoots), [&](const PredefinedRoot &r) {
                return rootName.size() == r.name.size() && startsWithAsciiNoCase(rootName, r.name);
            });
        if (root == std::end(kPredefinedRoots))
            throw Fault{number, "unknown root key " + quoted(path.substr(0, rootEnd))};

        levels_.clear();
        for (auto start = rootEnd; start < path.size();) {
            const auto end = std::min(path.find(u'\\', start + 1), path.size());
            const auto name = path.substr(start + 1, end - start - 1);
            if (name.empty())
                throw Fault{number, "an empty key name in the key path"};
            if (!isStorableKeyName(name))
                throw Fault{number, "a key name that is too long or holds a line break: " + quoted(name)};
            if (levels_.size() == kMaxKeyDepth)
                throw Fault{number, "a key path deeper than " + std::to_string(kMaxKeyDepth) + " levels"};
            levels_.push_back(name);
            start = end;
        }
        sink_.section(root->name, levels_, takeComments());
    }

    // Quoted text from text[pos], which is the opening quote; pos ends after
    // the closing quote.
    std::u16string parseQuoted(std::u16string_view text, std::size_t &pos)
    {
        std::u16string out;
        for (++pos; pos < text.size(); ++pos) {
            char16_t c = text[pos];
            if (c == u'"') {
                ++pos;
                return out;
            }
            if (c == u'\\') {
                c = ++pos < text.size() ? text[pos] : u'\0';
                if (c != u'\\' && c != u'"')
                    throw Fault{lines_.number(), "a backslash in quoted text that is not \\\\ or \\\""};
            }
            out.push_back(c);
        }
        throw Fault{lines_.number(), "quoted text without its closing quote"};
    }

    void parseValue(std::u16string_view content)
    {
        const std::size_t number = lines_.number();
        std::size_t pos = 0;
        std::u16string name;
        if (content.front() == u'@')
            pos = 1;
        else
            name = parseQuoted(content, pos);
        if (!isStorableValueName(name))
            throw Fault{number, "a value name that is too long or holds a line break"};

        auto rest = trim(content.substr(pos));
        if (!rest.starts_with(u'='))
            throw Fault{number, "no = after the value name"};
        rest = trim(rest.substr(1));

        std::uint32_t type;
        std::vector<std::uint8_t> data;
        if (rest.starts_with(u'"')) {
            pos = 0;
            std::u16string text = parseQuoted(rest, pos);
            if (pos != rest.size())
                throw Fault{number, "text after the closing quote"};
            text.push_back(u'\0');
            type = kTypeString;
            data = toUtf16le(text);
        } else if (rest == u"-") {
            throw Fault{number, "value deletions (=-) are not supported"};
        } else if (startsWithAsciiNoCase(rest, u"dword:")) {
            const auto number32 = parseHexNumber(rest.substr(6), 8);
            if (!number32)
                throw Fault{number, "a dword needs 1 to 8 hex digits"};
            type = kTypeDword;
            data = {static_cast<std::uint8_t>(*number32), static_cast<std::uint8_t>(*number32 >> 8),
                    static_cast<std::uint8_t>(*number32 >> 16), static_cast<std::uint8_t>(*number32 >> 24)};
        } else if (startsWithAsciiNoCase(rest, u"hex")) {
            rest.remove_prefix(3);
            type = kTypeBinary;
            if (rest.starts_with(u'(')) {
                const auto close = rest.find(u')');
                const auto number32 =
                    close == std::u16string_view::npos ? std::nullopt : parseHexNumber(rest.substr(1, close - 1), 8);
                if (!number32)
                    throw Fault{number, "hex(N) needs a type number of 1 to 8 hex digits"};
                type = *number32;
                rest.remove_prefix(close + 1);
            }
            if (!rest.starts_with(u':'))
                throw Fault{number, "no : after hex"};
            data = parseHexList(rest.substr(1), number);
            if (ansiData_ && (type == kTypeString || type == kTypeExpandString || type == kTypeMultiString)) {
                const std::string ansi(data.begin(), data.end());
                data = toUtf16le(decodeWindows1252(ansi));
            }
        } else {
            throw Fault{number, "unknown kind of value data: " + quoted(rest)};
        }
        sink_.value(RegValue{std::move(name), type, std::move(data), takeComments()});
    }

    // Comma-separated bytes, continued on the next line after a backslash.
    std::vector<std::uint8_t> parseHexList(std::u16string_view first, std::size_t number)
    {
        std::u16string joined;
        auto part = trim(first);
        while (part.ends_with(u'\\')) {
            joined.append(part.substr(0, part.size() - 1));
            std::u16string_view line;
            if (!lines_.next(line))
                throw Fault{number, "a hex list continued past the end of the file"};
            if (undecodable_.contains(lines_.number()))
                throw Fault{lines_.number(), "invalid UTF-8"};
            part = trim(line);
        }
        joined.append(part);

        std::vector<std::uint8_t> bytes;
        if (trim(joined).empty())
            return bytes;
        bytes.reserve(joined.size() / 3 + 1);
        for (std::size_t start = 0; start <= joined.size();) {
            const auto end = std::min(joined.find(u',', start), joined.size());
            const auto item = trim(std::u16string_view(joined).substr(start, end - start));
            const auto byte = parseHexNumber(item, 2);
            if (!byte)
                throw Fault{number, "bad hex byte " + quoted(item)};
            bytes.push_back(static_cast<std::uint8_t>(*byte));
            start = end + 1;
        }
        return bytes;
    }

    std::u16string_view text_;
    LineReader lines_;
    const std::map<std::size_t, std::string> &undecodable_;
    bool crlf_;
    RegTextSink &sink_;
    bool ansiData_ = false;
    std::vector<std::u16string> comments_; // waiting for the line they stand above
    std::vector<std::u16string_view> levels_;
};

// Builds the whole registry.
class DocumentBuilder : public RegTextSink {
public:
    explicit DocumentBuilder(RegDocument &document) : document_(document) {}

    void section(std::u16string_view root, const std::vector<std::u16string_view> &levels,
                 std::vector<std::u16string> comments) override
    {
        key_ = &document_.top.subkey(std::u16string(root));
        for (const auto name : levels)
            key_ = &key_->subkey(std::u16string(name));
        key_->hasSection = true;
        key_->comments.insert(key_->comments.end(), std::make_move_iterator(comments.begin()),
                              std::make_move_iterator(comments.end()));
    }

    void value(RegValue value) override
    {
        RegValue &stored = key_->setValue(value.name, value.type, std::move(value.data));
        stored.comments.insert(stored.comments.end(), std::make_move_iterator(value.comments.begin()),
                               std::make_move_iterator(value.comments.end()));
    }

    void style(const RegTextStyle &style) override { document_.style = style; }

    void unreadableValue(RegValue value, std::size_t) override { key_->keepUnreadable(std::move(value)); }

    void trailingComments(std::vector<std::u16string> comments) override
    {
        document_.trailingComments = std::move(comments);
    }

private:
    RegDocument &document_;
    RegKey *key_ = nullptr;
};

// The text of a REG_SZ value that quoted text holds exactly: terminated by
// its only NUL, well-formed, and free of control characters.
std::optional<std::u16string> plainText(const RegValue &value)
{
    if (value.type != kTypeString || value.data.size() < 2 || value.data.size() % 2 != 0)
        return std::nullopt;
    std::u16string text =
        fromUtf16le(std::string_view(reinterpret_cast<const char *>(value.data.data()), value.data.size()));
    if (text.back() != u'\0')
        return std::nullopt;
    text.pop_back();
    if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c < 0x20; }) ||
        findUnpairedSurrogate(text) != std::u16string::npos)
        return std::nullopt;
    return text;
}

// The text of a file in the encoding it keeps.
class RegTextWriter {
public:
    explicit RegTextWriter(RegTextStyle style) : style_(style)
    {
        if (style.encoding == RegTextEncoding::Utf8WithBom)
            out_ = "\xEF\xBB\xBF";
        else if (style.encoding == RegTextEncoding::Utf16le)
            out_ = "\xFF\xFE";
    }

    bool ansi() const { return style_.encoding == RegTextEncoding::Ansi; }
    // Whether the encoding could hold everything written.
    bool fits() const { return fits_; }
    std::string take() { return std::move(out_); }

    void text(std::u16string_view text)
    {
        switch (style_.encoding) {
        case RegTextEncoding::Utf8:
        case RegTextEncoding::Utf8WithBom:
            appendUtf8(out_, text);
            break;
        case RegTextEncoding::Utf16le:
            for (const char16_t c : text) {
                out_.push_back(static_cast<char>(c & 0xFF));
                out_.push_back(static_cast<char>(c >> 8));
            }
            break;
        case RegTextEncoding::Ansi:
            if (const auto bytes = encodeWindows1252(text))
                out_ += *bytes;
            else
                fits_ = false;
            break;
        }
    }
    void ascii(std::string_view text) { this->text(std::u16string(text.begin(), text.end())); }
    // A line kept as it came. Only a UTF-8 file has lines that are no text,
    // so only there do they need to stay bytes.
    void raw(std::string_view bytes)
    {
        if (style_.encoding == RegTextEncoding::Utf8 || style_.encoding == RegTextEncoding::Utf8WithBom)
            out_ += bytes;
        else
            text(decodeWindows1252(bytes));
    }
    void endLine() { ascii(style_.crlf ? "\r\n" : "\n"); }
    // Something this encoding cannot hold.
    void refuse() { fits_ = false; }

private:
    RegTextStyle style_;
    std::string out_;
    bool fits_ = true;
};

void writeQuoted(RegTextWriter &out, std::u16string_view text)
{
    std::u16string escaped;
    escaped.reserve(text.size() + 2);
    escaped.push_back(u'"');
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"')
            escaped.push_back(u'\\');
        escaped.push_back(c);
    }
    escaped.push_back(u'"');
    out.text(escaped);
}

void writeComments(RegTextWriter &out, const std::vector<std::u16string> &comments)
{
    for (const auto &comment : comments) {
        out.text(comment);
        out.endLine();
    }
}

// A byte list wrapped like the registry editor wraps it, near 80 columns.
void writeHexList(RegTextWriter &out, std::size_t column, const std::vector<std::uint8_t> &data)
{
    constexpr std::size_t kWidth = 78;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string line;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::size_t width = i + 1 < data.size() ? 3 : 2;
        if (column + width > kWidth) {
            out.ascii(line + "\\");
            out.endLine();
            line = "  ";
            column = 2;
        }
        line.push_back(kDigits[data[i] >> 4]);
        line.push_back(kDigits[data[i] & 0xF]);
        if (width == 3)
            line.push_back(',');
        column += width;
    }
    out.ascii(line);
}

// A REGEDIT4 file holds the text of string values as ANSI bytes.
std::vector<std::uint8_t> dataAsWritten(RegTextWriter &out, const RegValue &value)
{
    const bool textual = value.type == kTypeString || value.type == kTypeExpandString || value.type == kTypeMultiString;
    if (!out.ansi() || !textual)
        return value.data;
    const std::u16string text =
        fromUtf16le(std::string_view(reinterpret_cast<const char *>(value.data.data()), value.data.size()));
    const auto bytes = encodeWindows1252(text);
    if (value.data.size() % 2 != 0 || !bytes) {
        out.refuse();
        return {};
    }
    return {bytes->begin(), bytes->end()};
}

void writeValue(RegTextWriter &out, const RegValue &value)
{
    writeComments(out, value.comments);
    if (!value.unreadableLines.empty()) {
        for (const auto &line : value.unreadableLines) {
            out.raw(line);
            out.endLine();
        }
        return;
    }
    std::size_t column = 0;
    if (value.name.empty()) {
        out.ascii("@");
        column = 1;
    } else {
        writeQuoted(out, value.name);
        column = value.name.size() + 2;
    }
    out.ascii("=");
    ++column;

    char prefix[32];
    if (const auto text = plainText(value)) {
        writeQuoted(out, *text);
    } else if (value.type == kTypeDword && value.data.size() == 4) {
        const std::uint32_t number =
            value.data[0] | value.data[1] << 8 | value.data[2] << 16 | static_cast<std::uint32_t>(value.data[3]) << 24;
        std::snprintf(prefix, sizeof prefix, "dword:%08x", static_cast<unsigned>(number));
        out.ascii(prefix);
    } else {
        if (value.type == kTypeBinary)
            std::snprintf(prefix, sizeof prefix, "hex:");
        else
            std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
        out.ascii(prefix);
        writeHexList(out, column + std::strlen(prefix), dataAsWritten(out, value));
    }
    out.endLine();
}

void writeKey(RegTextWriter &out, const RegKey &key, const std::u16string &path)
{
    if (key.hasSection) {
        out.endLine();
        writeComments(out, key.comments);
        out.text(u"[" + path + u"]");
        out.endLine();
        for (const auto &value : key.values())
            writeValue(out, value);
    }
    for (const auto &subkey : key.subkeys())
        writeKey(out, *subkey, path + u'\\' + subkey->name());
}

// The whole file in one style; nothing where its encoding cannot hold it.
std::optional<std::string> serializeAs(const RegDocument &document, RegTextStyle style)
{
    RegTextWriter out(style);
    out.text(out.ansi() ? kHeaderV4 : kHeaderV5);
    out.endLine();
    for (const auto &root : document.top.subkeys())
        writeKey(out, *root, root->name());
    if (!document.trailingComments.empty()) {
        out.endLine();
        writeComments(out, document.trailingComments);
    }
    if (!out.fits())
        return std::nullopt;
    return out.take();
}

} // namespace

std::string RegTextError::describe() const
{
    return line == 0 ? message : "line " + std::to_string(line) + ": " + message;
}

std::optional<RegTextError> parseRegText(std::string_view bytes, RegTextSink &sink)
{
    try {
        const DecodedText decoded = decode(bytes);
        sink.style(decoded.style);
        Parser(decoded, sink).parse();
        return std::nullopt;
    } catch (const Fault &fault) {
        return RegTextError{fault.line, fault.message};
    }
}

RegTextParse parseRegText(std::string_view bytes)
{
    RegDocument document;
    DocumentBuilder builder(document);
    if (auto error = parseRegText(bytes, builder))
        return {std::nullopt, std::move(*error)};
    return {std::move(document), {}};
}

std::string serializeRegText(const RegDocument &document)
{
    if (auto text = serializeAs(document, document.style))
        return std::move(*text);
    // What the ANSI page cannot hold, the registry editor's newer format can.
    return *serializeAs(document, {RegTextEncoding::Utf16le, true});
}

} // namespace vantrel::platform::linux_backend
