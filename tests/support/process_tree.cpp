#include "process_tree.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

namespace vantrel::test {

namespace {

struct ProcessStat {
    char state = '?';
    pid_t parent = 0;
};

// From /proc/PID/stat; the command name in parentheses may hold spaces.
// Read with read(2): a process that ends between the open and the read makes
// the read fail (ESRCH), which a file stream reports by throwing.
bool readStat(pid_t pid, ProcessStat *stat)
{
    const int fd = ::open(("/proc/" + std::to_string(pid) + "/stat").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[1024];
    const ssize_t length = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (length <= 0)
        return false;
    const std::string text(buffer, static_cast<size_t>(length));
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream rest(text.substr(close + 1));
    return static_cast<bool>(rest >> stat->state >> stat->parent);
}

} // namespace

std::set<pid_t> descendantsOf(pid_t pid)
{
    std::multimap<pid_t, pid_t> children;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t child = std::stoi(name);
        ProcessStat stat;
        if (readStat(child, &stat) && stat.state != 'Z')
            children.emplace(stat.parent, child);
    }
    std::set<pid_t> found;
    std::set<pid_t> frontier{pid};
    while (!frontier.empty()) {
        const pid_t parent = *frontier.begin();
        frontier.erase(frontier.begin());
        const auto [first, last] = children.equal_range(parent);
        for (auto it = first; it != last; ++it)
            if (found.insert(it->second).second)
                frontier.insert(it->second);
    }
    return found;
}

bool isAlive(pid_t pid)
{
    ProcessStat stat;
    return readStat(pid, &stat) && stat.state != 'Z';
}

} // namespace vantrel::test
