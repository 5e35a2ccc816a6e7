#pragma once

#include "platform/linux/settings/reg_document.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The registry export format that the settings file is kept in, read and
// written without touching any file.
//
// Reads what the Windows registry editor exports: "Windows Registry Editor
// Version 5.00" in UTF-16LE with a byte-order mark or in UTF-8 (with or
// without one), and the older "REGEDIT4", whose texts are in the ANSI code
// page (taken as Windows-1252). Line ends LF or CRLF.
//
// A value line of a UTF-8 file whose data holds bytes that are no UTF-8 is
// refused alone: it is reported as unreadable and kept as it is.
//
// Writes a file in the encoding and with the line ends it came in, so that
// the registry editor reads back what it exported: UTF-16LE stays UTF-16LE,
// REGEDIT4 stays ANSI, unless the ANSI page cannot hold a text (then it
// becomes the editor's UTF-16LE version 5.00); a new file is UTF-8 version
// 5.00 with LF line ends. Plain strings are written quoted where quoted text
// can hold them exactly; every other value as a hex byte list, so that any
// value of any type reads back byte for byte.
namespace vantrel::platform::linux_backend {

// Larger files are refused: a settings file never comes near this, and a
// limit keeps a stray huge file from costing memory and time.
inline constexpr std::size_t kMaxRegTextBytes = 16 * 1024 * 1024;

struct RegTextError {
    std::size_t line = 0; // 1-based; 0 when the fault is the whole file's
    std::string message;  // what is wrong, in a few words

    // "line 3: bad hex byte", or the message alone for the whole file.
    std::string describe() const;
};

// Receives the entries of a file in the order a parse meets them.
class RegTextSink {
public:
    virtual ~RegTextSink() = default;
    // A [key] line: its root as kPredefinedRoots spells it, and the levels below.
    virtual void section(std::u16string_view root, const std::vector<std::u16string_view> &levels,
                         std::vector<std::u16string> comments) = 0;
    // How the file is written.
    virtual void style(const RegTextStyle &) {}
    // A value of the key of the latest section, with the comments above it.
    virtual void value(RegValue value) = 0;
    // A value of that key whose data could not be read, beginning on the
    // given line; value holds its name and its lines as they were.
    virtual void unreadableValue(RegValue value, std::size_t line) = 0;
    // The comment lines after the last entry.
    virtual void trailingComments(std::vector<std::u16string> comments) = 0;
};

// Tells sink what the text holds; nothing when all of it is valid. On an
// error the sink has been told about the part before it.
std::optional<RegTextError> parseRegText(std::string_view bytes, RegTextSink &sink);

struct RegTextParse {
    std::optional<RegDocument> document; // present when the text is valid
    RegTextError error;                  // why it is not
};

// The whole registry the text holds. An empty input is an empty registry.
RegTextParse parseRegText(std::string_view bytes);

std::string serializeRegText(const RegDocument &document);

} // namespace vantrel::platform::linux_backend
