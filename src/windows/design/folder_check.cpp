#include "windows/design/folder_check.h"

#include "windows/design/text.h"

#include <cstdlib>
#include <cwchar>
#include <string_view>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <sys/stat.h>
#include <sys/types.h>
#else
#include <filesystem>
#endif

namespace vantrel::design {

namespace {

#ifdef _WIN32
constexpr std::u16string_view kSeparators = u"\\/";
#else
constexpr std::u16string_view kSeparators = u"/";
#endif

// The folder a file is in; a root keeps its separator ("/", "C:\").
std::u16string folderOf(const std::u16string &path)
{
    const auto last = path.find_last_of(kSeparators);
    if (last == std::u16string::npos)
        return {};
    const bool root = last == 0 || (last == 2 && path[1] == u':');
    return path.substr(0, root ? last + 1 : last);
}

// Asks the file system about a place: whatever it answers, "no such file"
// included, is an answer.
void askAbout(const std::u16string &place)
{
    if (place.empty())
        return;
#ifdef _WIN32
    // The C runtime's look, as std::filesystem makes it there, without the
    // C++ library's locales and file streams that it would carry into
    // vantrel.exe.
    struct _stat64 info;
    static_cast<void>(_wstat64(reinterpret_cast<const wchar_t *>(place.c_str()), &info));
#else
    std::error_code error;
    static_cast<void>(std::filesystem::status(std::filesystem::path(place), error));
#endif
}

} // namespace

FolderCheck::Answered ThreadFolderCheck::look(const std::u16string &path)
{
    const std::lock_guard lock(mutex_);
    for (auto entry = underWay_.begin(); entry != underWay_.end();)
        entry = entry->second->load() ? underWay_.erase(entry) : std::next(entry);
    if (const auto pending = underWay_.find(path); pending != underWay_.end())
        return pending->second;

    auto answered = std::make_shared<std::atomic<bool>>(false);
    try {
        std::thread([path, answered] {
            askAbout(path);
            askAbout(folderOf(path));
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
