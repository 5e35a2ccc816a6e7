#include "platform/win32/native_registry.h"

#include <windows.h>

namespace vantrel::platform::windows_backend::native {

namespace {

// The original program is a 32-bit one; on 64-bit Windows its values live in
// the 32-bit view of HKEY_LOCAL_MACHINE\Software (Software\WOW6432Node).
// Working in that view keeps a user's bindings where they already are, for a
// 32-bit or a 64-bit build of Vantrel alike.
constexpr REGSAM kView = KEY_WOW64_32KEY;

// No more rights than the operation needs, so that a user who may only read
// the settings key still gets the bindings.
constexpr REGSAM kReadAccess = KEY_QUERY_VALUE | kView;
constexpr REGSAM kWriteAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | kView;

HKEY hkey(Key key) { return static_cast<HKEY>(key); }

} // namespace

Key predefinedKey(std::uint32_t root)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

Status openKey(Key parent, const std::wstring &path, Key *key)
{
    HKEY opened = nullptr;
    const LSTATUS status = RegOpenKeyExW(hkey(parent), path.c_str(), 0, kReadAccess, &opened);
    if (status == ERROR_SUCCESS)
        *key = opened;
    return status;
}

Status createKey(Key parent, const std::wstring &path, Key *key)
{
    HKEY opened = nullptr;
    const LSTATUS status = RegCreateKeyExW(hkey(parent), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           kWriteAccess, nullptr, &opened, nullptr);
    if (status == ERROR_SUCCESS)
        *key = opened;
    return status;
}

Status queryValue(Key key, const std::wstring &name, std::uint32_t *type, std::uint8_t *data, std::uint32_t *size)
{
    DWORD valueType = 0;
    DWORD valueSize = size ? *size : 0;
    const LSTATUS status = RegQueryValueExW(hkey(key), name.c_str(), nullptr, type ? &valueType : nullptr, data,
                                            size ? &valueSize : nullptr);
    // A buffer too small still learns the value's type and the size it needs.
    if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        if (type)
            *type = valueType;
        if (size)
            *size = valueSize;
    }
    return status;
}

Status setValue(Key key, const std::wstring &name, std::uint32_t type, const std::uint8_t *data, std::uint32_t size)
{
    // RegSetValueExW hands the value to the registry, which keeps it from then
    // on; forcing it to disk with RegFlushKey would stall for no gain.
    return RegSetValueExW(hkey(key), name.c_str(), 0, type, data, size);
}

Status closeKey(Key key) { return RegCloseKey(hkey(key)); }

Status openKeyToWatch(Key parent, const std::wstring &path, Key *key)
{
    HKEY opened = nullptr;
    const LSTATUS status = RegOpenKeyExW(hkey(parent), path.c_str(), 0, KEY_NOTIFY | kView, &opened);
    if (status == ERROR_SUCCESS)
        *key = opened;
    return status;
}

Status notifyChange(Key key, bool values, void *event)
{
    const DWORD filter = REG_NOTIFY_CHANGE_NAME | (values ? REG_NOTIFY_CHANGE_LAST_SET : 0);
    return RegNotifyChangeKeyValue(hkey(key), FALSE, filter, static_cast<HANDLE>(event), TRUE);
}

} // namespace vantrel::platform::windows_backend::native
