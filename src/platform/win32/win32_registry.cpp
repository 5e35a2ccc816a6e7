#include "platform/win32/win32_registry.h"

#include "platform/win32/registry_key_watch.h"
#include "platform/win32/system_message.h"
#include "platform/win32/wide_text.h"

namespace vantrel::platform::windows_backend {

namespace {

// The Win32 calls take NUL-terminated names: one with a NUL inside would
// silently act on a shorter name.
bool holdsNul(const std::u16string &text) { return text.find(u'\0') != std::u16string::npos; }

} // namespace

RegStatus Win32Registry::open(NativeOpen how, RegHandle root, const std::u16string &path, RegHandle *key)
{
    const auto parent = handles_.find(root);
    if (!parent) {
        place_ = path;
        return ERROR_INVALID_HANDLE;
    }
    place_ = path.empty() ? parent->name : parent->name + u"\\" + path;
    if (holdsNul(path))
        return ERROR_INVALID_PARAMETER;

    native::Key opened = nullptr;
    if (const native::Status status = how(parent->native, toWide(path), &opened); status != ERROR_SUCCESS)
        return static_cast<RegStatus>(status);
    const RegHandle handle = handles_.add({opened, place_});
    if (handle == 0) {
        native::closeKey(opened);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    *key = handle;
    return ERROR_SUCCESS;
}

RegStatus Win32Registry::openKey(RegHandle root, const std::u16string &path, RegHandle *key)
{
    return open(native::openKey, root, path, key);
}

RegStatus Win32Registry::createKey(RegHandle root, const std::u16string &path, RegHandle *key)
{
    return open(native::createKey, root, path, key);
}

template <typename Call>
RegStatus Win32Registry::onValue(RegHandle key, const std::u16string &name, Call call)
{
    const auto found = handles_.find(key);
    if (!found) {
        place_.clear();
        return ERROR_INVALID_HANDLE;
    }
    place_ = found->name + u", value \"" + name + u"\"";
    if (holdsNul(name))
        return ERROR_INVALID_PARAMETER;
    return static_cast<RegStatus>(call(found->native, toWide(name)));
}

RegStatus Win32Registry::queryValue(RegHandle key, const std::u16string &name, std::uint32_t *type, std::uint8_t *data,
                                    std::uint32_t *size)
{
    return onValue(key, name, [&](native::Key native, const std::wstring &wideName) {
        return native::queryValue(native, wideName, type, data, size);
    });
}

RegStatus Win32Registry::setValue(RegHandle key, const std::u16string &name, std::uint32_t type,
                                  const std::uint8_t *data, std::uint32_t size)
{
    return onValue(key, name, [&](native::Key native, const std::wstring &wideName) {
        return native::setValue(native, wideName, type, data, size);
    });
}

RegStatus Win32Registry::closeKey(RegHandle key)
{
    // As with RegCloseKey, closing a predefined root succeeds and does nothing.
    if (RegistryHandles::isPredefinedRoot(key))
        return ERROR_SUCCESS;
    auto taken = handles_.take(key);
    if (!taken) {
        place_.clear();
        return ERROR_INVALID_HANDLE;
    }
    const auto status = static_cast<RegStatus>(native::closeKey(taken->native));
    if (status != ERROR_SUCCESS)
        place_ = taken->name;
    return status;
}

std::unique_ptr<RegistryWatch> Win32Registry::watchKey(RegHandle root, const std::u16string &path, std::string *error)
{
    const auto parent = handles_.find(root);
    if (!parent || !RegistryHandles::isPredefinedRoot(root) || holdsNul(path)) {
        if (error)
            *error = "Could not watch the settings for changes: " +
                     systemMessage(static_cast<unsigned long>(ERROR_INVALID_PARAMETER));
        return nullptr;
    }
    return RegistryKeyWatch::create(parent->native, toWide(path), error);
}

std::string Win32Registry::describeFailure(RegStatus status) const
{
    const std::string reason = systemMessage(static_cast<unsigned long>(status));
    return place_.empty() ? reason : toUtf8(place_) + ": " + reason;
}

} // namespace vantrel::platform::windows_backend
