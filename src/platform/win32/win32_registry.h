#pragma once

#include "platform/registry.h"
#include "platform/win32/registry_handles.h"

namespace vantrel::platform::windows_backend {

// The Windows registry itself, through the wide-character Win32 calls: texts
// keep every character, whatever the system's code page, and values written
// by the narrow calls (as the original program did) read the same.
//
// Keys opened with openKey may only be read; keys from createKey may also be
// written, so a user without write rights still reads the settings.
class Win32Registry final : public Registry {
public:
    RegStatus openKey(RegHandle root, const std::u16string &path, RegHandle *key) override;
    RegStatus createKey(RegHandle root, const std::u16string &path, RegHandle *key) override;
    RegStatus queryValue(RegHandle key, const std::u16string &name, std::uint32_t *type, std::uint8_t *data,
                         std::uint32_t *size) override;
    RegStatus setValue(RegHandle key, const std::u16string &name, std::uint32_t type, const std::uint8_t *data,
                       std::uint32_t size) override;
    RegStatus closeKey(RegHandle key) override;
    std::string describeFailure(RegStatus status) const override;
    std::unique_ptr<RegistryWatch> watchKey(RegHandle root, const std::u16string &path, std::string *error) override;

private:
    using NativeOpen = native::Status (*)(native::Key, const std::wstring &, native::Key *);
    RegStatus open(NativeOpen how, RegHandle root, const std::u16string &path, RegHandle *key);
    // Runs a call on a value of an open key.
    template <typename Call>
    RegStatus onValue(RegHandle key, const std::u16string &name, Call call);

    // The key or value the last call acted on, named in failure messages.
    // Closing leaves it alone: a close follows the failing call it would hide.
    std::u16string place_;
    RegistryHandles handles_;
};

} // namespace vantrel::platform::windows_backend
