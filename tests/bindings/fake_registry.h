#pragma once

#include "platform/registry.h"

#include <set>

namespace vantrel::test {

// Wraps a real registry, counts open handles, and can be told to refuse
// creating keys or storing values, as a store without write rights does, to
// fail every read, as a damaged store does, or to be busy.
class GuardedRegistry : public platform::Registry {
public:
    explicit GuardedRegistry(platform::Registry &inner) : inner_(inner) {}

    bool refuseCreate = false;
    bool refuseSet = false;
    bool failReads = false;
    bool busy = false;
    int setAttempts = 0;

    std::size_t openHandles() const { return open_.size(); }

    platform::RegStatus openKey(platform::RegHandle root, const std::u16string &path, platform::RegHandle *key) override
    {
        if (failReads)
            return platform::ERROR_BADDB;
        return track(inner_.openKey(root, path, key), key);
    }
    platform::RegStatus createKey(platform::RegHandle root, const std::u16string &path,
                                  platform::RegHandle *key) override
    {
        if (refuseCreate)
            return platform::ERROR_ACCESS_DENIED;
        return track(inner_.createKey(root, path, key), key);
    }
    platform::RegStatus queryValue(platform::RegHandle key, const std::u16string &name, std::uint32_t *type,
                                   std::uint8_t *data, std::uint32_t *size) override
    {
        return inner_.queryValue(key, name, type, data, size);
    }
    platform::RegStatus setValue(platform::RegHandle key, const std::u16string &name, std::uint32_t type,
                                 const std::uint8_t *data, std::uint32_t size) override
    {
        ++setAttempts;
        if (refuseSet)
            return platform::ERROR_ACCESS_DENIED;
        if (busy)
            return platform::ERROR_SHARING_VIOLATION;
        return inner_.setValue(key, name, type, data, size);
    }
    std::unique_ptr<platform::RegistryWatch> watchKey(platform::RegHandle root, const std::u16string &path,
                                                      std::string *error) override
    {
        return inner_.watchKey(root, path, error);
    }
    platform::RegStatus closeKey(platform::RegHandle key) override
    {
        open_.erase(key);
        return inner_.closeKey(key);
    }
    std::string describeFailure(platform::RegStatus status) const override
    {
        if (status == platform::ERROR_BADDB)
            return "unreadable in the test";
        return status == platform::ERROR_ACCESS_DENIED ? "refused by the test" : inner_.describeFailure(status);
    }

private:
    platform::RegStatus track(platform::RegStatus status, const platform::RegHandle *key)
    {
        if (status == platform::ERROR_SUCCESS)
            open_.insert(*key);
        return status;
    }

    platform::Registry &inner_;
    std::multiset<platform::RegHandle> open_;
};

} // namespace vantrel::test
