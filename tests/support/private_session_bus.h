#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace vantrel::test {

// A session bus of the test's own (dbus-daemon --session), named in
// DBUS_SESSION_BUS_ADDRESS for as long as it lives; stopped with it, and the
// variable put back.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();

    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    // Empty when the daemon did not start.
    const std::string &address() const { return address_; }

private:
    pid_t pid_ = -1;
    std::string address_;
    std::optional<std::string> previous_;
};

} // namespace vantrel::test
