#include "child_process.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace vantrel::test {

ChildProcess::ChildProcess(const std::vector<std::string> &argv, const std::map<std::string, std::string> &environment,
                           const std::string &errorOutput)
{
    std::vector<std::string> envStrings;
    for (char **entry = environ; *entry; ++entry) {
        const std::string text(*entry);
        if (!environment.count(text.substr(0, text.find('='))))
            envStrings.push_back(text);
    }
    for (const auto &[name, value] : environment)
        envStrings.push_back(name + "=" + value);

    std::vector<char *> args;
    for (const auto &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    std::vector<char *> envp;
    for (auto &text : envStrings)
        envp.push_back(text.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!errorOutput.empty())
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    const int error = posix_spawnp(&pid_, argv.at(0).c_str(), &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + argv.at(0) + ": " + std::strerror(error));
}

ChildProcess::~ChildProcess()
{
    if (reaped_)
        return;
    kill(pid_, SIGTERM);
    if (!waitForExit(std::chrono::seconds(5)) && !reaped_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!reaped_) {
        const pid_t done = waitpid(pid_, &status_, WNOHANG);
        if (done == pid_)
            reaped_ = true;
        else if (done < 0 || std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status_))
        return WEXITSTATUS(status_);
    return std::nullopt;
}

} // namespace vantrel::test
