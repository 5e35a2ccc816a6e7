#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace vantrel::test {

// What one run of the launch probe recorded.
struct LaunchRecord {
    long pid = 0;
    long sid = 0;
    std::string descriptors; // e.g. "0 1 2"
    std::vector<std::string> args;
};

// A desktop of the process's own in a temporary folder: XDG_DATA_HOME and
// XDG_CONFIG_HOME point into it, and the launch probe is the registered
// handler of text files, folders, files of unknown and of no content, and
// mailto: addresses. Records of every probe run land in recordsFolder().
// Make it before anything reads the XDG
// variables (GLib keeps the first values it sees).
class ProbeDesktop {
public:
    ProbeDesktop();
    ~ProbeDesktop();

    ProbeDesktop(const ProbeDesktop &) = delete;
    ProbeDesktop &operator=(const ProbeDesktop &) = delete;

    const std::filesystem::path &root() const { return root_; }
    std::filesystem::path recordsFolder() const { return root_ / "records"; }
    std::filesystem::path configHome() const { return root_ / "config"; }
    std::filesystem::path dataHome() const { return root_ / "data"; }

    // Writes a .desktop file whose program is the probe, run with args.
    void writeDesktopEntry(const std::filesystem::path &path, const std::string &args) const;

    std::vector<LaunchRecord> records() const;
    // Waits until at least count records are there or the time is up.
    std::vector<LaunchRecord> waitForRecords(std::size_t count,
                                             std::chrono::milliseconds limit = std::chrono::seconds(10)) const;
    void clearRecords() const;

private:
    std::filesystem::path root_;
};

// The launch probe program.
std::filesystem::path launchProbe();

// Whether a child of the given process has ended without being reaped.
bool hasZombieChild(long parent);

} // namespace vantrel::test
