#pragma once

#include "platform/registry_watch.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vantrel::platform {

// The registry as the settings store sees it: keys under predefined roots,
// holding typed values. The calls, status codes and type codes follow the
// Win32 registry API (wide-character form), so that every backend behaves
// like the real registry and Registry_Module reads the same on all of them.
using RegHandle = std::uint32_t; // a 32-bit handle value, 0 for none
using RegStatus = std::int32_t;  // a Win32 error code

inline constexpr RegHandle HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr RegHandle HKEY_CURRENT_USER = 0x80000001u;
inline constexpr RegHandle HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr RegHandle HKEY_USERS = 0x80000003u;
inline constexpr RegHandle HKEY_CURRENT_CONFIG = 0x80000005u;
inline constexpr RegHandle HKEY_DYN_DATA = 0x80000006u; // Windows 9x only

// The predefined roots, by the names the registry editor gives them: every
// root a registry export can hold.
struct PredefinedRoot {
    RegHandle handle;
    std::u16string_view name;
};
inline constexpr PredefinedRoot kPredefinedRoots[] = {
    {HKEY_CLASSES_ROOT, u"HKEY_CLASSES_ROOT"},     {HKEY_CURRENT_USER, u"HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, u"HKEY_LOCAL_MACHINE"},   {HKEY_USERS, u"HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, u"HKEY_CURRENT_CONFIG"}, {HKEY_DYN_DATA, u"HKEY_DYN_DATA"},
};

// The predefined root a handle stands for, or null for any other handle.
inline const PredefinedRoot *findPredefinedRoot(RegHandle handle)
{
    for (const PredefinedRoot &root : kPredefinedRoots)
        if (root.handle == handle)
            return &root;
    return nullptr;
}

inline constexpr RegStatus ERROR_SUCCESS = 0;
inline constexpr RegStatus ERROR_FILE_NOT_FOUND = 2;
inline constexpr RegStatus ERROR_ACCESS_DENIED = 5;
inline constexpr RegStatus ERROR_INVALID_HANDLE = 6;
inline constexpr RegStatus ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr RegStatus ERROR_WRITE_FAULT = 29;
inline constexpr RegStatus ERROR_SHARING_VIOLATION = 32; // the store is busy: another program has it
inline constexpr RegStatus ERROR_INVALID_PARAMETER = 87;
inline constexpr RegStatus ERROR_MORE_DATA = 234;
inline constexpr RegStatus ERROR_BADDB = 1009;
inline constexpr RegStatus ERROR_REGISTRY_IO_FAILED = 1016;

inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;
inline constexpr std::uint32_t REG_QWORD = 11;

// Key paths and value names are UTF-16 text, levels separated by '\'.
// Value data are raw bytes; string types hold UTF-16LE code units, with their
// terminating NUL when the writer stored one, exactly as RegQueryValueExW
// hands them out.
class Registry {
public:
    virtual ~Registry() = default;

    // Opens an existing key below root; *key receives the handle on success
    // and is left untouched on failure. Never creates anything.
    virtual RegStatus openKey(RegHandle root, const std::u16string &path, RegHandle *key) = 0;

    // Opens the key, creating it and every missing key on its path first.
    virtual RegStatus createKey(RegHandle root, const std::u16string &path, RegHandle *key) = 0;

    // RegQueryValueExW: with data null, reports type and size only. With
    // data, *size gives the buffer's capacity in bytes; a value that does not
    // fit gives ERROR_MORE_DATA and the size it needs. type and size may be
    // null where the caller does not want them.
    virtual RegStatus queryValue(RegHandle key, const std::u16string &name, std::uint32_t *type, std::uint8_t *data,
                                 std::uint32_t *size) = 0;

    // Stores the value, replacing any value of that name whatever its type.
    // Persists before returning: a success means the value is saved.
    virtual RegStatus setValue(RegHandle key, const std::u16string &name, std::uint32_t type, const std::uint8_t *data,
                               std::uint32_t size) = 0;

    virtual RegStatus closeKey(RegHandle key) = 0;

    // Starts watching the key below root for changes of its values, also
    // while the key or the store does not exist yet. On failure returns
    // nothing and says why in *error.
    virtual std::unique_ptr<RegistryWatch> watchKey(RegHandle root, const std::u16string &path, std::string *error) = 0;

    // Says in a sentence why the last failing call on this store failed with
    // the given status: where (the file or key) and the system's reason.
    virtual std::string describeFailure(RegStatus status) const = 0;
};

} // namespace vantrel::platform
