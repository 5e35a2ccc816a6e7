#pragma once

#include "platform/linux/settings/locked_file.h"
#include "platform/registry_watch.h"

#include <map>
#include <memory>
#include <set>
#include <string>

namespace vantrel::platform::linux_backend {

// Watches the settings file through its folder (inotify), since writers
// replace the file by renaming another over it, and the file itself may not
// exist yet. Where the file is a symbolic link, the folder of the file it
// leads to is watched as well; where a folder is missing, the nearest one
// that exists is watched for its making.
class SettingsFileWatch final : public RegistryWatch {
public:
    static std::unique_ptr<SettingsFileWatch> create(std::string path, std::string *error);

    RegistryWatchWakeup wakeup() const override { return {fd_.get(), nullptr}; }
    bool collect() override;

private:
    SettingsFileWatch(std::string path, UniqueFd fd) : path_(std::move(path)), fd_(std::move(fd)) {}

    // Watches the folders that lead to the file as things stand now.
    std::optional<FileFault> arm();

    std::string path_;
    UniqueFd fd_;
    std::map<int, std::set<std::string>> names_; // by watch: the entries of its folder that matter
};

} // namespace vantrel::platform::linux_backend
