#include "platform/sound_file_search.h"

#include "platform/sound_file_probe.h"

namespace vantrel::platform {

std::optional<std::string> findSoundFile(const std::string &name, const std::vector<std::string> &dataFolders)
{
    namespace probe = sound_file_probe;
    if (name.empty())
        return std::nullopt;
    if (probe::isAbsolute(name))
        return probe::isRegularFile(name) ? std::optional(name) : std::nullopt;
    // A working directory that cannot be told holds no sound.
    if (probe::isRegularFile(name))
        if (auto found = probe::inWorkingDirectory(name))
            return found;
    for (const auto &folder : dataFolders) {
        auto candidate = probe::inFolder(folder, name);
        if (probe::isRegularFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

} // namespace vantrel::platform
