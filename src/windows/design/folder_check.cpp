#include "windows/design/folder_check.h"

#include "windows/design/text.h"

#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <system_error>
#include <thread>

namespace vantrel::design {

FolderCheck::Answered ThreadFolderCheck::look(const std::u16string &path)
{
    const std::lock_guard lock(mutex_);
    for (auto entry = underWay_.begin(); entry != underWay_.end();)
        entry = entry->second->load() ? underWay_.erase(entry) : std::next(entry);
    if (const auto pending = underWay_.find(path); pending != underWay_.end())
        return pending->second;

    auto answered = std::make_shared<std::atomic<bool>>(false);
    try {
        std::thread([file = std::filesystem::path(path), answered] {
            std::error_code error;
            static_cast<void>(std::filesystem::status(file, error));
            static_cast<void>(std::filesystem::status(file.parent_path(), error));
            answered->store(true);
        }).detach();
    } catch (const std::system_error &) {
        // No thread to look with: the place counts as not answering this
        // time, and the next look tries again.
        return answered;
    }
    underWay_.emplace(path, answered);
    return answered;
}

std::u16string homeFolder()
{
#ifdef _WIN32
    if (const wchar_t *profile = _wgetenv(L"USERPROFILE"))
        return std::u16string(profile, profile + std::wcslen(profile));
    return {};
#else
    const char *home = std::getenv("HOME");
    return home ? fromUtf8(home) : std::u16string();
#endif
}

} // namespace vantrel::design
