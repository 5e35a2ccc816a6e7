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
    std::string reason;  // where and why, when !ok
};

// The value's text, or nothing when the key or value is missing, the value is
// not a plain string (REG_SZ), or the store cannot be read. Never creates a key.
std::optional<std::u16string> ReadRegString(Registry &registry, RegHandle root,
                                            const std::u16string &keyPath,
                                            const std::u16string &valueName);

// Stores text as a REG_SZ value with its terminating NUL, creating the key and
// any missing keys on its path.
WriteResult WriteRegString(Registry &registry, RegHandle root, const std::u16string &keyPath,
                           const std::u16string &valueName, const std::u16string &data);

std::optional<std::u16string> QueryRegString(Registry &registry, RegHandle key,
                                             const std::u16string &valueName);

// The text up to its first NUL; the whole text when it holds none.
std::u16string TrimAtNull(const std::u16string &text);

} // namespace vantrel::Registry_Module
