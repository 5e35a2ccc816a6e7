#pragma once

#include <cstdint>
#include <string>

// The advapi32 registry calls behind plain C++ types, so that no file that sees
// the program's registry interface needs <windows.h>: its macros
// (HKEY_LOCAL_MACHINE, ERROR_SUCCESS, REG_SZ...) clash with that interface's
// names.
namespace vantrel::platform::windows_backend::native {

using Key = void *;  // an HKEY
using Status = long; // an LSTATUS, a Win32 error code

// The HKEY of a predefined root given by its handle value (the roots are
// listed in platform/registry.h): Windows defines each root's HKEY as that
// value sign-extended to a pointer.
Key predefinedKey(std::uint32_t root);

// Opens an existing key to read its values.
Status openKey(Key parent, const std::wstring &path, Key *key);

// Opens the key to read and set its values, creating it and every missing
// key on its path first.
Status createKey(Key parent, const std::wstring &path, Key *key);

Status queryValue(Key key, const std::wstring &name, std::uint32_t *type, std::uint8_t *data, std::uint32_t *size);
Status setValue(Key key, const std::wstring &name, std::uint32_t type, const std::uint8_t *data, std::uint32_t size);
Status closeKey(Key key);

// Opens an existing key to be told of its changes.
Status openKeyToWatch(Key parent, const std::wstring &path, Key *key);

// Asks for event (a Win32 event handle) to be signalled at the next change of
// the names of the key's subkeys and, where values is set, of its values.
// One change, one signal: ask again after each.
Status notifyChange(Key key, bool values, void *event);

} // namespace vantrel::platform::windows_backend::native
