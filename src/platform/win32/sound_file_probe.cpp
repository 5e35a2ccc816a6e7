#include "platform/sound_file_probe.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <sys/stat.h>
#include <sys/types.h>

namespace vantrel::platform::sound_file_probe {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

} // namespace

bool isRegularFile(const std::string &path)
{
    const auto wide = windows_backend::wideFromUtf8(path);
    if (!wide || wide->empty())
        return false;
    // The C runtime's look, which is the one std::filesystem takes here.
    struct _stat64 status {};
    return _wstat64(wide->c_str(), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
}

// "C:\x", "\\server\share\x", and also "\x" and "C:x": names that carry a
// root or a drive of their own, which no data folder goes in front of.
bool isAbsolute(const std::string &name)
{
    return !name.empty() && (isSeparator(name.front()) || (name.size() > 1 && name[1] == ':'));
}

std::optional<std::string> inWorkingDirectory(const std::string &name)
{
    const auto wide = windows_backend::wideFromUtf8(name);
    if (!wide)
        return std::nullopt;
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(wide->c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(wide->c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size())
        return std::nullopt;
    full.resize(length);
    return windows_backend::toUtf8(full);
}

std::string inFolder(const std::string &folder, const std::string &name)
{
    if (folder.empty() || isSeparator(folder.back()))
        return folder + name;
    return folder + '\\' + name;
}

} // namespace vantrel::platform::sound_file_probe
