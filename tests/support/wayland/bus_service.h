#pragma once

#include <optional>
#include <string>

// A service of the test's session bus as the process that owns its name:
// the desktop portal and its backend, to be killed, stopped and started the
// way a crash, a hang or a package upgrade does it.
namespace vantrel::test {

class BusService {
public:
    static constexpr const char *kPortal = "org.freedesktop.portal.Desktop";
    static constexpr const char *kKdeBackend = "org.freedesktop.impl.portal.desktop.kde";

    explicit BusService(std::string name) : name_(std::move(name)) {}
    // A service left stopped would never end with the session.
    ~BusService();

    BusService(const BusService &) = delete;
    BusService &operator=(const BusService &) = delete;

    bool running() const;
    // The process that owns the name now.
    std::optional<long> pid() const;

    // As the bus does for a call to it: starts it unless it runs; whether it
    // runs afterwards.
    bool start() const;
    // Killed outright (SIGKILL); returns once the killed process no longer owns
    // the name (gone, or taken over by a process started for a later call).
    bool kill() const;
    // Stopped (SIGSTOP) as a hung process: its name stays, nothing answers.
    bool pause();
    void resume();

private:
    std::string name_;
    std::optional<long> paused_;
};

} // namespace vantrel::test
