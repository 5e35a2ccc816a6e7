#pragma once

#include "platform/linux/settings/registry_file.h"
#include "platform/utf16le.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace vantrel::test {

using Bytes = std::vector<std::uint8_t>;

// A string value's data as RegSetValueExW stores it, with its terminating NUL.
inline Bytes sz(const std::u16string &text) { return platform::toUtf16le(text + u'\0'); }

// Stores one value under HKEY_LOCAL_MACHINE, creating the key.
inline platform::RegStatus put(platform::Registry &store, const std::u16string &path, const std::u16string &name,
                               std::uint32_t type, const Bytes &data)
{
    platform::RegHandle key = 0;
    if (const auto status = store.createKey(platform::HKEY_LOCAL_MACHINE, path, &key);
        status != platform::ERROR_SUCCESS)
        return status;
    const auto status = store.setValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
    store.closeKey(key);
    return status;
}

// A settings file in a temporary folder of its own, removed afterwards.
class RegistryFileTest : public ::testing::Test {
protected:
    explicit RegistryFileTest(const std::filesystem::path &base = std::filesystem::temp_directory_path())
    {
        std::string pattern = (base / "vantrel-registry-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder");
        home = pattern;
        folder = home / "vantrel";
        file = folder / "registry.reg";
    }
    ~RegistryFileTest() override
    {
        // Give back write rights that a test took away, so that all can go.
        std::error_code ignored;
        for (const auto &path : {home, folder})
            std::filesystem::permissions(path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(home, ignored);
    }

    std::unique_ptr<platform::linux_backend::RegistryFile> openStore(
        std::chrono::milliseconds lockWait = platform::linux_backend::RegistryFile::kDefaultLockWait) const
    {
        return std::make_unique<platform::linux_backend::RegistryFile>(file.string(), lockWait);
    }

    void writeFile(const std::string &bytes) const
    {
        std::filesystem::create_directories(folder);
        std::ofstream(file, std::ios::binary) << bytes;
    }

    std::optional<std::string> readFile() const
    {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return std::nullopt;
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    // The names in the folder, the data file and its lock file included.
    std::vector<std::string> folderEntries() const
    {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto &entry : std::filesystem::directory_iterator(folder, error))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static mode_t modeOf(const std::filesystem::path &path)
    {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
    }

    std::filesystem::path home;
    std::filesystem::path folder;
    std::filesystem::path file;
};

} // namespace vantrel::test
