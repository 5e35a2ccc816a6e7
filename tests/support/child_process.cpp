#include "child_process.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace vantrel::test {

ChildProcess::ChildProcess(const std::vector<std::string> &argv, const std::map<std::string, std::string> &environment,
                           const std::string &errorOutput, const std::string &standardOutput)
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
    if (!standardOutput.empty())
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, standardOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
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

Finished runToEnd(const std::vector<std::string> &argv, const std::map<std::string, std::string> &environment,
                  std::chrono::milliseconds limit)
{
    std::string folder = (std::filesystem::temp_directory_path() / "vantrel-run-XXXXXX").string();
    if (!mkdtemp(folder.data()))
        throw std::runtime_error("cannot make a temporary folder");
    const std::string output = folder + "/output", errorOutput = folder + "/errors";
    Finished finished;
    {
        ChildProcess child(argv, environment, errorOutput, output);
        finished.exitCode = child.waitForExit(limit);
    }
    const auto read = [](const std::string &path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    finished.output = read(output);
    finished.errorOutput = read(errorOutput);
    std::filesystem::remove_all(folder);
    return finished;
}

} // namespace vantrel::test
