#include "platform/sound_file_probe.h"

#include <cstdlib>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace vantrel::platform::sound_file_probe {

bool isRegularFile(const std::string &path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool isAbsolute(const std::string &name) { return !name.empty() && name.front() == '/'; }

std::optional<std::string> inWorkingDirectory(const std::string &name)
{
    const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
    if (!folder)
        return std::nullopt;
    return inFolder(folder.get(), name);
}

std::string inFolder(const std::string &folder, const std::string &name)
{
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

} // namespace vantrel::platform::sound_file_probe
