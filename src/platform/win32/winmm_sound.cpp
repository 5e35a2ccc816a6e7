#include "platform/win32/winmm_sound.h"

#include "platform/sound_file_search.h"
#include "platform/win32/wide_text.h"

// Everything below needs the types windows.h declares.
#include <windows.h>

#include <mmsystem.h>

namespace vantrel::platform::windows_backend {

WinmmSound::WinmmSound(std::vector<std::string> dataFolders) : dataFolders_(std::move(dataFolders)) {}

void WinmmSound::play(const std::string &fileName)
{
    // Not UTF-8: no file has that name, and the empty one below brings the
    // default sound.
    const std::wstring name = wideFromUtf8(fileName).value_or(std::wstring());
    const auto file = findSoundFile(fileName, dataFolders_);
    // The program may carry the sound itself, under the file's name.
    if (!file && PlaySoundW(name.c_str(), GetModuleHandleW(nullptr), SND_RESOURCE | SND_ASYNC | SND_NODEFAULT))
        return;
    // A name found nowhere goes to winmm as it is: it looks in the system's
    // own folders as well and, failing those, plays the default sound. The
    // result is dropped on purpose: no sound device or a broken file must go
    // unnoticed by the user.
    const std::wstring path = file ? wideFromUtf8(*file).value_or(name) : name;
    PlaySoundW(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
}

} // namespace vantrel::platform::windows_backend

namespace vantrel::platform {

std::unique_ptr<Sound> createSound(std::vector<std::string> dataFolders)
{
    return std::make_unique<windows_backend::WinmmSound>(std::move(dataFolders));
}

} // namespace vantrel::platform
