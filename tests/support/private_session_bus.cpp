#include "private_session_bus.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char **environ;

namespace vantrel::test {

PrivateSessionBus::PrivateSessionBus()
{
    if (const char *previous = std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        previous_ = previous;
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    // The daemon writes its address, one line, to descriptor 3.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 3);
    char *const argv[] = {const_cast<char *>("dbus-daemon"), const_cast<char *>("--session"),
                          const_cast<char *>("--nofork"), const_cast<char *>("--print-address=3"), nullptr};
    if (posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr, argv, environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);

    // Read until the end of the line, or until the daemon ends without one.
    std::string line;
    char c = 0;
    while (pid_ > 0 && ::read(pipeEnds[0], &c, 1) == 1 && c != '\n')
        line += c;
    ::close(pipeEnds[0]);
    if (c == '\n' && !line.empty()) {
        address_ = line;
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    }
}

PrivateSessionBus::~PrivateSessionBus()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    if (previous_)
        ::setenv("DBUS_SESSION_BUS_ADDRESS", previous_->c_str(), 1);
    else
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

} // namespace vantrel::test
