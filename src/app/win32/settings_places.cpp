#include "app/win32/settings_places.h"

#include <string_view>

namespace vantrel::win32_app {

SettingsPlaces windowsSettingsPlaces()
{
    // The original kept its bindings under HKEY_LOCAL_MACHINE, which only an
    // administrator may write since Windows Vista: every OK of a standard
    // user would be lost. Vantrel keeps them in the user's own part of the
    // registry and never writes the machine's.
    //
    // Until the user's key exists, the original's are read: first the copy
    // Windows made of its writes for this user (a 32-bit program without a
    // manifest that writes HKEY_LOCAL_MACHINE is redirected there, and reads
    // it back from there), then the machine's 32-bit view (the registry
    // backend opens HKEY_LOCAL_MACHINE\Software through it: WOW6432Node).
    const std::u16string belowSoftware = kSettingsKeyPath.substr(std::u16string_view(u"Software\\").size());
    return {
        {platform::HKEY_CURRENT_USER, kSettingsKeyPath},
        {
            {platform::HKEY_CURRENT_USER,
             u"Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\" + belowSoftware},
            {platform::HKEY_LOCAL_MACHINE, kSettingsKeyPath},
        },
    };
}

} // namespace vantrel::win32_app
