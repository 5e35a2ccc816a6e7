#pragma once

#include <sys/types.h>

#include <csignal>

#include <optional>
#include <string>

namespace vantrel::test {

// An X server of a test's own, on a display number the server picks, to be
// taken away while clients use it.
class PrivateXServer {
public:
    PrivateXServer();
    ~PrivateXServer() { stop(); }
    PrivateXServer(const PrivateXServer &) = delete;
    PrivateXServer &operator=(const PrivateXServer &) = delete;

    // The display name (":N"), or nothing when the server did not start.
    const std::optional<std::string> &name() const { return name_; }

    // Ends the server the way it ends on its own (SIGTERM) or as if it
    // crashed (SIGKILL), and waits for it.
    void stop(int signal = SIGTERM);

private:
    pid_t pid_ = -1;
    std::optional<std::string> name_;
};

} // namespace vantrel::test
