#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace vantrel::platform {

// Where a sound named by a program is found: a relative name in the working
// directory first, then in each data folder in turn. An absolute name is
// taken as it is. Only regular files count. Shared by the backends' sounds.
std::optional<std::filesystem::path> findSoundFile(const std::filesystem::path &name,
                                                   const std::vector<std::filesystem::path> &dataFolders);

} // namespace vantrel::platform
