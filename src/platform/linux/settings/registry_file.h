#pragma once

#include "platform/registry.h"

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vantrel::platform::linux_backend {

struct FileContents;
struct RegDocument;
class RegKeyLookup;

// The registry kept in one text file in the registry export format. Every
// call reads the file as it is on disk at that moment, so that several copies
// of the program, or the user with an editor, may change it between calls.
// A change is one locked read-modify-write that replaces the file atomically.
// A file that cannot be read is never written: reads of it fail, and so do
// writes, until the user mends or removes it.
class RegistryFile : public Registry {
public:
    // How long a write waits for another program's lock before it fails:
    // the program waits for it, and must not stop answering for longer.
    static constexpr std::chrono::milliseconds kDefaultLockWait{2000};

    // $XDG_CONFIG_HOME/vantrel/registry.reg, with ~/.config in place of an
    // unset, empty or relative XDG_CONFIG_HOME.
    RegistryFile();
    explicit RegistryFile(std::string path, std::chrono::milliseconds lockWait = kDefaultLockWait);

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
    RegStatus readCurrent(const char *verb, FileContents &contents);
    // Applies change to the current file under the lock, and writes
    // the result when change reports that it changed anything.
    RegStatus modify(const std::function<RegStatus(RegDocument &, bool &changed)> &change);

    RegStatus fail(RegStatus status, std::string sentence);
    RegStatus fail(RegStatus status, const char *verb, const std::string &reason);

    std::string path_;
    std::chrono::milliseconds lockWait_;
    std::map<RegHandle, KeyPath> handles_;
    RegHandle nextHandle_ = 1;
    RegStatus lastStatus_ = ERROR_SUCCESS;
    std::string lastFailure_;
};

} // namespace vantrel::platform::linux_backend
