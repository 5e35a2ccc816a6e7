#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The registry as a settings file holds it: a tree of keys with typed values,
// and the comment lines the user wrote, kept so that a rewrite loses nothing.
namespace vantrel::platform::linux_backend {

// The limits of the Windows registry. Beyond them a name or path is refused,
// which also bounds the work any one line of a file can cause.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;
inline constexpr std::size_t kMaxKeyDepth = 512; // levels below the root

// Whether a text can be a key or value name in the file: well-formed UTF-16
// without NUL or line breaks (the file format has no escape for those in
// names), within the length limit. A key name must moreover be non-empty and
// hold no backslash.
bool isStorableValueName(std::u16string_view name);
bool isStorableKeyName(std::u16string_view name);

struct RegValue {
    std::u16string name; // empty: the key's default value, "@" in the file
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    std::vector<std::u16string> comments; // the comment lines just above it
    // A value whose lines could not be read (bytes that are no text in the
    // file's encoding): its lines as they were, without their line ends. It
    // has no type or data; a rewrite keeps the lines, and storing a value of
    // its name replaces them.
    std::vector<std::string> unreadableLines;

    bool operator==(const RegValue &) const = default;
};

// Names compare without regard to case and keep the case they came with.
class RegKey {
public:
    explicit RegKey(std::u16string name) : name_(std::move(name)) {}

    const std::u16string &name() const { return name_; }

    // Whether the key is written as a [section] of its own. A key that only
    // appears as a level of a longer section path has none.
    bool hasSection = false;
    std::vector<std::u16string> comments; // the comment lines above its section

    RegKey *findSubkey(const std::u16string &name);
    const RegKey *findSubkey(const std::u16string &name) const;
    // The subkey of that name, added at the end when missing.
    RegKey &subkey(const std::u16string &name);
    const std::vector<std::unique_ptr<RegKey>> &subkeys() const { return subkeys_; }

    const RegValue *findValue(const std::u16string &name) const;
    // Replaces the data and type of the value of that name, which keeps its
    // place, spelling and comments; a new value goes to the end. The key then
    // has a section of its own.
    RegValue &setValue(const std::u16string &name, std::uint32_t type, std::vector<std::uint8_t> data);
    // Keeps a value that could not be read in its place, under its name; it
    // replaces an earlier value of that name, as a stored one would, but
    // keeps the spelling of its own line.
    void keepUnreadable(RegValue value);
    const std::vector<RegValue> &values() const { return values_; }

    bool operator==(const RegKey &other) const;

private:
    std::u16string name_;
    std::vector<std::unique_ptr<RegKey>> subkeys_;
    std::unordered_map<std::u16string, std::size_t> subkeyIndex_; // by folded name
    std::vector<RegValue> values_;
    std::unordered_map<std::u16string, std::size_t> valueIndex_; // by folded name
};

// How a file is written: the registry editor's own formats are kept, so
// that it can import a file it exported after Vantrel rewrote it.
enum class RegTextEncoding {
    Utf8,        // version 5.00
    Utf8WithBom, // version 5.00
    Utf16le,     // version 5.00 with its byte-order mark, as the editor exports
    Ansi,        // REGEDIT4, in Windows-1252
};

struct RegTextStyle {
    RegTextEncoding encoding = RegTextEncoding::Utf8;
    bool crlf = false; // CRLF line ends rather than LF

    bool operator==(const RegTextStyle &) const = default;
};

struct RegDocument {
    // Its subkeys are the roots that the file mentions, by their names.
    RegKey top{u""};
    std::vector<std::u16string> trailingComments; // after the last entry
    RegTextStyle style;                           // as the file came

    bool operator==(const RegDocument &) const = default;
};

} // namespace vantrel::platform::linux_backend
