#pragma once

#include <optional>
#include <string>

// What the sound file search asks of the file system, answered by each
// backend in its own way. Paths are UTF-8. Not std::filesystem: on Windows
// its library part brings the C++ locales into the program, which would more
// than double the size of vantrel.exe.
namespace vantrel::platform::sound_file_probe {

// A file, or a link to one; a place that cannot be looked at is none.
bool isRegularFile(const std::string &path);

// Whether the name says where it is, rather than being looked up.
bool isAbsolute(const std::string &name);

// The absolute path of a relative name in the working directory; nothing
// where the working directory cannot be told.
std::optional<std::string> inWorkingDirectory(const std::string &name);

// A relative name inside a folder.
std::string inFolder(const std::string &folder, const std::string &name);

} // namespace vantrel::platform::sound_file_probe
