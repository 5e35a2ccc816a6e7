#include "platform/win32/registry_key_watch.h"

#include "platform/win32/native_registry.h"
#include "platform/win32/system_message.h"

#include <windows.h>

namespace vantrel::platform::windows_backend {

std::unique_ptr<RegistryKeyWatch> RegistryKeyWatch::create(void *root, std::wstring path, std::string *error)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!event) {
        if (error)
            *error = "Could not watch the settings for changes: " + systemMessage(GetLastError());
        return nullptr;
    }
    std::unique_ptr<RegistryKeyWatch> watch(new RegistryKeyWatch(root, std::move(path), event));
    if (const long status = watch->arm(); status != ERROR_SUCCESS) {
        if (error)
            *error = "Could not watch the settings for changes: " + systemMessage(static_cast<unsigned long>(status));
        return nullptr;
    }
    return watch;
}

RegistryKeyWatch::RegistryKeyWatch(void *root, std::wstring path, void *event)
    : root_(root), path_(std::move(path)), event_(event)
{
}

RegistryKeyWatch::~RegistryKeyWatch()
{
    closeKey();
    CloseHandle(event_);
}

void RegistryKeyWatch::closeKey()
{
    if (key_)
        native::closeKey(key_);
    key_ = nullptr;
}

long RegistryKeyWatch::arm()
{
    // Closing a watched key signals the event: close first, then clear it.
    closeKey();
    ResetEvent(event_);
    std::wstring path = path_;
    for (bool isTheKey = true;; isTheKey = false) {
        if (native::openKeyToWatch(root_, path, &key_) == ERROR_SUCCESS)
            return native::notifyChange(key_, isTheKey, event_);
        if (path.empty())
            return ERROR_FILE_NOT_FOUND;
        const auto level = path.find_last_of(L'\\');
        path.erase(level == std::wstring::npos ? 0 : level);
    }
}

bool RegistryKeyWatch::collect()
{
    if (WaitForSingleObject(event_, 0) != WAIT_OBJECT_0)
        return false;
    // A key that cannot be watched any more is not fatal: every save still
    // reads the settings first.
    arm();
    return true;
}

} // namespace vantrel::platform::windows_backend
