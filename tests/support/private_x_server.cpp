#include "private_x_server.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantrel::test {

PrivateXServer::PrivateXServer()
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        close(pipeFds[0]);
        const std::string fd = std::to_string(pipeFds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "320x200x24",
               static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    // The server writes the number, then a newline: closing our end
    // before the newline has come would kill it.
    std::string number;
    char buffer[32];
    pollfd readable{pipeFds[0], POLLIN, 0};
    while (pid_ > 0 && number.find('\n') == std::string::npos && poll(&readable, 1, 10000) == 1) {
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        number.append(buffer, static_cast<std::size_t>(got));
    }
    if (number.find('\n') != std::string::npos)
        name_ = ":" + number.substr(0, number.find('\n'));
    close(pipeFds[0]);
}

void PrivateXServer::stop(int signal)
{
    if (pid_ <= 0)
        return;
    kill(pid_, signal);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

} // namespace vantrel::test
