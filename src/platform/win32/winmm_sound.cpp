#include "platform/win32/winmm_sound.h"

#include "platform/sound_file_search.h"

// Everything below needs the types windows.h declares.
#include <windows.h>

#include <mmsystem.h>

#include <string>
#include <system_error>

namespace vantrel::platform::windows_backend {

WinmmSound::WinmmSound(std::vector<std::filesystem::path> dataFolders) : dataFolders_(std::move(dataFolders)) {}

void WinmmSound::play(const std::string &fileName)
{
    std::filesystem::path name;
    try {
        // The name is UTF-8; made from a plain string, a path would read it
        // in the ANSI code page instead.
        name = std::filesystem::path(std::u8string(fileName.begin(), fileName.end()));
    } catch (const std::system_error &) {
        // Not UTF-8: no file has that name, and the empty one below brings
        // the default sound.
    }
    const auto file = findSoundFile(name, dataFolders_);
    // The program may carry the sound itself, under the file's name.
    if (!file && PlaySoundW(name.c_str(), GetModuleHandleW(nullptr), SND_RESOURCE | SND_ASYNC | SND_NODEFAULT))
        return;
    // A name found nowhere goes to winmm as it is: it looks in the system's
    // own folders as well and, failing those, plays the default sound. The
    // result is dropped on purpose: no sound device or a broken file must go
    // unnoticed by the user.
    PlaySoundW((file ? *file : name).c_str(), nullptr, SND_FILENAME | SND_ASYNC);
}

} // namespace vantrel::platform::windows_backend

namespace vantrel::platform {

std::unique_ptr<Sound> createSound(std::vector<std::filesystem::path> dataFolders)
{
    return std::make_unique<windows_backend::WinmmSound>(std::move(dataFolders));
}

} // namespace vantrel::platform
