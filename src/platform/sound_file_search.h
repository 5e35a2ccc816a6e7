#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform {

// Where a sound named by a program is found: a relative name in the working
// directory first (then as an absolute path), then in each data folder in
// turn. An absolute name is taken as it is. Only regular files count. Names
// and folders are UTF-8. Shared by the backends' sounds.
std::optional<std::string> findSoundFile(const std::string &name, const std::vector<std::string> &dataFolders);

} // namespace vantrel::platform
