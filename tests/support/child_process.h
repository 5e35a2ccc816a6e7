#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::test {

// A program started for a test. The environment is this process's, with the
// given variables set on top; its standard error goes to errorOutput and its
// standard output to standardOutput when they are given. Still running at
// the end, it is terminated.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string> &argv, const std::map<std::string, std::string> &environment = {},
                 const std::string &errorOutput = {}, const std::string &standardOutput = {});
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

// What a program run to its end wrote, and how it ended.
struct Finished {
    std::optional<int> exitCode; // nothing when it ended by a signal or ran past the limit
    std::string output;          // standard output
    std::string errorOutput;     // standard error
};

// Runs the program to its end, ending it at the time limit.
Finished runToEnd(const std::vector<std::string> &argv, const std::map<std::string, std::string> &environment = {},
                  std::chrono::milliseconds limit = std::chrono::seconds(30));

} // namespace vantrel::test
