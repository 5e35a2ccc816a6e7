#pragma once

#include "platform/registry.h"
#include "platform/win32/native_registry.h"

#include <map>
#include <optional>
#include <string>

namespace vantrel::platform::windows_backend {

// The registry interface speaks of 32-bit handle values, while an HKEY is as
// wide as a pointer. The table gives every key the program opens a small
// number of its own (never 0, never in the 0x8000000x range of the predefined
// roots), and knows each key's full name for messages.
class RegistryHandles {
public:
    struct Key {
        native::Key native = nullptr;
        std::u16string name; // "HKEY_LOCAL_MACHINE\Software\..."
    };

    RegistryHandles() = default;
    ~RegistryHandles(); // closes every key still open
    RegistryHandles(const RegistryHandles &) = delete;
    RegistryHandles &operator=(const RegistryHandles &) = delete;

    // A predefined root or an open key; nothing for an unknown value.
    std::optional<Key> find(RegHandle handle) const;

    static bool isPredefinedRoot(RegHandle handle);

    // Takes an opened key into the table; 0 when no number is free.
    RegHandle add(Key key);

    // Removes an open key from the table and hands it back for closing.
    std::optional<Key> take(RegHandle handle);

private:
    std::map<RegHandle, Key> open_;
    RegHandle next_ = 1;
};

} // namespace vantrel::platform::windows_backend
