#pragma once

#include "child_process.h"

#include <filesystem>
#include <memory>

namespace vantrel::test {

// A file system whose lookups never answer, as a network mount whose server
// has gone, mounted for as long as this lives (root and FUSE only): looking
// up any name in it blocks until its end, which frees whatever is stuck in it.
class HungFileSystem {
public:
    explicit HungFileSystem(const std::filesystem::path &mountPoint);
    ~HungFileSystem();
    HungFileSystem(const HungFileSystem &) = delete;
    HungFileSystem &operator=(const HungFileSystem &) = delete;

    // Whether this machine can mount one at all: root and /dev/fuse.
    static bool possible();

    bool mounted() const;

    // Ends the file system at once: whatever is stuck in it fails instead of
    // waiting. Safe from any thread.
    void release() const;

private:
    std::filesystem::path mountPoint_;
    std::unique_ptr<ChildProcess> daemon_;
};

} // namespace vantrel::test
