#pragma once

#include "platform/linux/settings/locked_file.h"
#include "platform/registry.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform::linux_backend {

struct RegDocument;
class RegKeyLookup;
class SettingsFileWatch;

// The registry kept in one text file in the registry export format. Every
// call reads the file as it is on disk at that moment, so that several copies
// of the program, or the user with an editor, may change it between calls.
// A change is one locked read-modify-write that replaces the file atomically.
// A file that cannot be read is never written: reads of it fail, and so do
// writes, until the user mends or removes it. A file that another program is
// writing in place is never taken half-written: a read takes the file as its
// last whole write left it, and a write waits for the writer to close it.
class RegistryFile : public Registry {
public:
    // How long a write waits for another program's lock before it fails:
    // the program waits for it, and must not stop answering for longer.
    static constexpr std::chrono::milliseconds kDefaultLockWait{2000};
    // How long a first read waits for another program to finish writing the
    // file in place, when no whole read of it came before.
    static constexpr std::chrono::milliseconds kInPlaceWriteWait{500};

    // $XDG_CONFIG_HOME/vantrel/registry.reg, with ~/.config in place of an
    // unset, empty or relative XDG_CONFIG_HOME.
    RegistryFile();
    explicit RegistryFile(std::string path, std::chrono::milliseconds lockWait = kDefaultLockWait);
    ~RegistryFile() override;

    const std::string &path() const { return path_; }

    RegStatus openKey(RegHandle root, const std::u16string &path, RegHandle *key) override;
    RegStatus createKey(RegHandle root, const std::u16string &path, RegHandle *key) override;
    RegStatus queryValue(RegHandle key, const std::u16string &name, std::uint32_t *type, std::uint8_t *data,
                         std::uint32_t *size) override;
    RegStatus setValue(RegHandle key, const std::u16string &name, std::uint32_t type, const std::uint8_t *data,
                       std::uint32_t size) override;
    RegStatus closeKey(RegHandle key) override;
    std::string describeFailure(RegStatus status) const override;
    std::unique_ptr<RegistryWatch> watchKey(RegHandle root, const std::u16string &path, std::string *error) override;

private:
    // A key by its place: the root's name, then the names of the levels.
    struct KeyPath {
        std::u16string root;
        std::vector<std::u16string> names;
    };

    RegStatus resolve(RegHandle handle, KeyPath &path);
    RegStatus resolveSubkey(RegHandle root, const std::u16string &subkey, KeyPath &path);
    RegHandle addHandle(KeyPath path);

    // Reads the file as it is now, for one lookup.
    RegStatus lookUp(RegKeyLookup &lookup);
    // The file whole: as it is, or for a read while another program writes
    // it in place, as the last whole read found it.
    RegStatus readCurrent(bool forWrite, FileContents &contents);
    // What follows writes in place; none where the system will not watch.
    SettingsFileWatch *writeWatch();
    // Applies change to the current file under the lock, and writes
    // the result when change reports that it changed anything.
    RegStatus modify(const std::function<RegStatus(RegDocument &, bool &changed)> &change);

    RegStatus fail(RegStatus status, std::string sentence);
    RegStatus fail(RegStatus status, const char *verb, const std::string &reason);

    std::string path_;
    std::chrono::milliseconds lockWait_;
    std::unique_ptr<SettingsFileWatch> writeWatch_;
    bool writeWatchTried_ = false;
    std::optional<FileContents> lastWhole_;
    std::uint64_t renamesAtLastWhole_ = 0;
    std::map<RegHandle, KeyPath> handles_;
    RegHandle nextHandle_ = 1;
    RegStatus lastStatus_ = ERROR_SUCCESS;
    std::string lastFailure_;
};

} // namespace vantrel::platform::linux_backend
