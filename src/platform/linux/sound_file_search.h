#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform::linux_backend {

// Where a sound named by a program is found: a relative name in the working
// directory first, then in each data folder in turn. An absolute name is
// taken as it is. Only regular files count.
std::optional<std::filesystem::path> findSoundFile(const std::string &fileName,
                                                   const std::vector<std::filesystem::path> &dataFolders);

} // namespace vantrel::platform::linux_backend
