#pragma once

#include "platform/registry.h"

#include <optional>
#include <string>

// The program's only access to persistent storage: read and write one string
// value of a registry key. Every call opens the key, does its one read or
// write and closes it again; nothing is kept between calls.
namespace vantrel::Registry_Module {

using platform::RegHandle;
using platform::Registry;

struct WriteResult {
    bool ok = true;
    std::string reason; // where and why, when !ok
    platform::RegStatus status = platform::ERROR_SUCCESS;
};

// What a read found. A missing key or value, or a value that is not a plain
// string, is no failure: the text is then absent. A store that could not be
// read at all (a damaged or unreadable file, a key without read rights) is
// one: nothing can be said about the value then.
struct ReadResult {
    std::optional<std::u16string> text;
    platform::RegStatus status = platform::ERROR_SUCCESS;
    std::string reason; // where and why, when the read failed

    bool failed() const { return status != platform::ERROR_SUCCESS; }
};

// The value's text, or nothing when the key or value is missing, the value is
// not a plain string (REG_SZ), or the store cannot be read. Never creates a key.
std::optional<std::u16string> ReadRegString(Registry &registry, RegHandle root, const std::u16string &keyPath,
                                            const std::u16string &valueName);

// As ReadRegString, telling a failure of the store from an absent value.
ReadResult ReadRegStringChecked(Registry &registry, RegHandle root, const std::u16string &keyPath,
                                const std::u16string &valueName);

// Stores text as a REG_SZ value with its terminating NUL, creating the key and
// any missing keys on its path.
WriteResult WriteRegString(Registry &registry, RegHandle root, const std::u16string &keyPath,
                           const std::u16string &valueName, const std::u16string &data);

std::optional<std::u16string> QueryRegString(Registry &registry, RegHandle key, const std::u16string &valueName);

// The text up to its first NUL; the whole text when it holds none.
std::u16string TrimAtNull(const std::u16string &text);

} // namespace vantrel::Registry_Module
