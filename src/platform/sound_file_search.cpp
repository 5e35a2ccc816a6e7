#include "platform/sound_file_search.h"

#include <system_error>

namespace vantrel::platform {

namespace {

bool isRegularFile(const std::filesystem::path &path)
{
    std::error_code error; // a folder we may not read simply holds no sound
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

std::optional<std::filesystem::path> findSoundFile(const std::filesystem::path &name,
                                                   const std::vector<std::filesystem::path> &dataFolders)
{
    if (name.empty())
        return std::nullopt;
    if (isRegularFile(name))
        return std::filesystem::absolute(name);
    if (name.is_absolute())
        return std::nullopt;
    for (const auto &folder : dataFolders) {
        auto candidate = folder / name;
        if (isRegularFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

} // namespace vantrel::platform
