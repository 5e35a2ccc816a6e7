#pragma once

#include "platform/registry_watch.h"

#include <memory>
#include <string>

namespace vantrel::platform::windows_backend {

// Watches one registry key with RegNotifyChangeKeyValue. Where the key does
// not exist yet, the nearest key above it that does is watched for the
// making of its subkeys, and the watch moves down as they come.
class RegistryKeyWatch final : public RegistryWatch {
public:
    // root: the HKEY of a predefined root; path: the key below it.
    static std::unique_ptr<RegistryKeyWatch> create(void *root, std::wstring path, std::string *error);
    ~RegistryKeyWatch() override;
    RegistryKeyWatch(const RegistryKeyWatch &) = delete;
    RegistryKeyWatch &operator=(const RegistryKeyWatch &) = delete;

    RegistryWatchWakeup wakeup() const override { return {-1, event_}; }
    bool collect() override;

private:
    RegistryKeyWatch(void *root, std::wstring path, void *event);

    // Watches the key, or the nearest key above it, as things stand now.
    long arm();
    void closeKey();

    void *root_;
    std::wstring path_;
    void *event_; // manual-reset: stays signalled until collected
    void *key_ = nullptr;
};

} // namespace vantrel::platform::windows_backend
