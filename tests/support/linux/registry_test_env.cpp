#include "support/registry_test_env.h"

#include "platform/platform.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantrel::test {

namespace {
// The folders made for this test process, removed when it ends.
struct TemporaryConfigHomes {
    std::vector<std::filesystem::path> folders;
    ~TemporaryConfigHomes()
    {
        std::error_code ignored;
        for (const auto &folder : folders)
            std::filesystem::remove_all(folder, ignored);
    }
};
TemporaryConfigHomes temporaryHomes;
} // namespace

std::unique_ptr<platform::Registry> makeEmptyRegistry()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    temporaryHomes.folders.emplace_back(pattern);
    setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
    return platform::createRegistry();
}

} // namespace vantrel::test
