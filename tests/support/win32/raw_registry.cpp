#include "raw_registry.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

namespace vantrel::test::raw_registry {

namespace {

std::wstring wide(const std::u16string &text) { return {text.begin(), text.end()}; }

void check(LSTATUS status, const char *what)
{
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed with status " + std::to_string(status));
}

REGSAM viewFlag(View view) { return view == View::Program ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

OwnedKey openKey(const std::u16string &path, REGSAM access, View view = View::Program, bool create = false)
{
    const std::wstring name = wide(path);
    const REGSAM sam = access | viewFlag(view);
    HKEY key = nullptr;
    check(create ? RegCreateKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, nullptr, 0, sam, nullptr, &key, nullptr)
                 : RegOpenKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, sam, &key),
          create ? "RegCreateKeyExW" : "RegOpenKeyExW");
    return OwnedKey(key);
}

HKEY hkey(const OwnedKey &key) { return static_cast<HKEY>(key.get()); }

} // namespace

void createKey(const std::u16string &path) { openKey(path, KEY_QUERY_VALUE, View::Program, true); }

void setValue(const std::u16string &path, const std::u16string &name, std::uint32_t type,
              const std::vector<std::uint8_t> &data, View view)
{
    const OwnedKey key = openKey(path, KEY_SET_VALUE, view, true);
    check(RegSetValueExW(hkey(key), wide(name).c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())),
          "RegSetValueExW");
}

void setAnsiString(const std::u16string &path, const std::u16string &name, const std::string &ansi)
{
    const OwnedKey key = openKey(path, KEY_SET_VALUE, View::Program, true);
    const std::optional<std::string> ansiName = toAnsi(name);
    check(RegSetValueExA(hkey(key), ansiName.value().c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(ansi.data()),
                         static_cast<DWORD>(ansi.size())),
          "RegSetValueExA");
}

std::vector<std::uint8_t> value(const std::u16string &path, const std::u16string &name, std::uint32_t *type, View view)
{
    const OwnedKey key = openKey(path, KEY_QUERY_VALUE, view);
    const std::wstring valueName = wide(name);
    DWORD valueType = 0;
    DWORD size = 0;
    check(RegQueryValueExW(hkey(key), valueName.c_str(), nullptr, &valueType, nullptr, &size), "RegQueryValueExW");
    std::vector<std::uint8_t> data(size);
    check(RegQueryValueExW(hkey(key), valueName.c_str(), nullptr, &valueType, data.data(), &size), "RegQueryValueExW");
    data.resize(size);
    *type = valueType;
    return data;
}

std::string ansiString(const std::u16string &path, const std::u16string &name)
{
    const OwnedKey key = openKey(path, KEY_QUERY_VALUE);
    const std::string valueName = toAnsi(name).value();
    DWORD size = 0;
    check(RegQueryValueExA(hkey(key), valueName.c_str(), nullptr, nullptr, nullptr, &size), "RegQueryValueExA");
    std::string data(size, '\0');
    check(
        RegQueryValueExA(hkey(key), valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE *>(data.data()), &size),
        "RegQueryValueExA");
    data.resize(size);
    return data;
}

std::vector<std::u16string> subkeyNames(const std::u16string &path)
{
    const OwnedKey key = openKey(path, KEY_ENUMERATE_SUB_KEYS);
    std::vector<std::u16string> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        const LSTATUS status = RegEnumKeyExW(hkey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            return names;
        check(status, "RegEnumKeyExW");
        names.emplace_back(name, name + length);
    }
}

bool signalledWithin(void *event, unsigned long milliseconds)
{
    return WaitForSingleObject(static_cast<HANDLE>(event), milliseconds) == WAIT_OBJECT_0;
}

void deleteTree(const std::u16string &path)
{
    const auto lastLevel = path.rfind(u'\\');
    const OwnedKey parent = openKey(path.substr(0, lastLevel), KEY_ALL_ACCESS);
    const LSTATUS status = RegDeleteTreeW(hkey(parent), wide(path.substr(lastLevel + 1)).c_str());
    if (status != ERROR_FILE_NOT_FOUND)
        check(status, "RegDeleteTreeW");
}

std::optional<std::string> toAnsi(const std::u16string &text)
{
    const std::wstring source = wide(text);
    BOOL lossy = FALSE;
    const int length = static_cast<int>(source.size());
    const int bytes = WideCharToMultiByte(CP_ACP, 0, source.data(), length, nullptr, 0, nullptr, &lossy);
    std::string ansi(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, source.data(), length, ansi.data(), bytes, nullptr, &lossy);
    if (lossy)
        return std::nullopt;
    return ansi;
}

void KeyCloser::operator()(void *key) const { RegCloseKey(static_cast<HKEY>(key)); }

DeniedKey::DeniedKey(const std::u16string &path)
{
    HKEY key = nullptr;
    check(RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(path).c_str(), 0, READ_CONTROL | WRITE_DAC | KEY_WOW64_32KEY, &key),
          "RegOpenKeyExW");
    key_.reset(key);
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    savedSecurity_.resize(size);
    check(RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, savedSecurity_.data(), &size), "RegGetKeySecurity");

    SECURITY_DESCRIPTOR nobody;
    ACL emptyAcl;
    InitializeSecurityDescriptor(&nobody, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&emptyAcl, sizeof emptyAcl, ACL_REVISION);
    SetSecurityDescriptorDacl(&nobody, TRUE, &emptyAcl, FALSE);
    SetSecurityDescriptorControl(&nobody, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    check(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &nobody), "RegSetKeySecurity");
}

DeniedKey::~DeniedKey()
{
    // The handle was opened before the rights were taken away, so it can
    // still give them back.
    RegSetKeySecurity(hkey(key_), DACL_SECURITY_INFORMATION, savedSecurity_.data());
}

PrivateMachineRoot::PrivateMachineRoot()
{
    static std::atomic<unsigned> serial{0};
    path_ = L"Software\\VantrelTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
    HKEY key = nullptr;
    check(RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
          "RegCreateKeyExW");
    key_.reset(key);
    if (const LSTATUS status = RegOverridePredefKey(HKEY_LOCAL_MACHINE, key); status != ERROR_SUCCESS) {
        key_.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        check(status, "RegOverridePredefKey");
    }
}

PrivateMachineRoot::~PrivateMachineRoot()
{
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    key_.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

} // namespace vantrel::test::raw_registry
