#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vantrel::test {

// Writes the program's settings file under configHome (what XDG_CONFIG_HOME
// will point at), binding each key ("F6" to "F12") to its path.
void writeBindingsFile(const std::filesystem::path &configHome,
                       const std::vector<std::pair<std::string, std::filesystem::path>> &bindings);

} // namespace vantrel::test
