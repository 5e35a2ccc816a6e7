#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::test {

// A program started for a test. The environment is this process's, with the
// given variables set on top; its standard error goes to errorOutput when
// one is given. Still running at the end, it is terminated.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string> &argv, const std::map<std::string, std::string> &environment = {},
                 const std::string &errorOutput = {});
    ~ChildProcess();

    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    pid_t pid() const { return pid_; }

    // The exit code once the program has ended by itself within the time;
    // nothing if it is still running or ended by a signal.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
};

} // namespace vantrel::test
