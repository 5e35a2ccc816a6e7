#include "bindings_file.h"

#include <fstream>
#include <stdexcept>

namespace vantrel::test {

namespace {

// A value in the registry export format: backslashes and quotes escaped.
std::string regText(const std::string &text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

void writeBindingsFile(const std::filesystem::path &configHome,
                       const std::vector<std::pair<std::string, std::filesystem::path>> &bindings)
{
    std::filesystem::create_directories(configHome / "vantrel");
    std::ofstream file(configHome / "vantrel" / "registry.reg", std::ios::binary);
    file << "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\n";
    for (const auto &[key, path] : bindings)
        file << regText(key) << "=" << regText(path.string()) << "\n";
    if (!file.flush())
        throw std::runtime_error("cannot write the settings file under " + configHome.string());
}

} // namespace vantrel::test
