// Stands in for a launched program or a handler application: records what it
// was given and what it inherited, as one file in $VANTREL_PROBE_DIR.
// The record: NUL-terminated fields "pid", "sid", the open descriptors
// separated by spaces, then every argument.

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

std::string openDescriptors()
{
    std::string list;
    DIR *folder = opendir("/proc/self/fd");
    if (!folder)
        return "?";
    const int own = dirfd(folder);
    while (const dirent *entry = readdir(folder)) {
        if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == own)
            continue;
        list += list.empty() ? "" : " ";
        list += entry->d_name;
    }
    closedir(folder);
    return list;
}

} // namespace

int main(int argc, char *argv[])
{
    const char *folder = std::getenv("VANTREL_PROBE_DIR");
    if (!folder)
        return 2;
    std::string record;
    const auto field = [&](const std::string &text) {
        record += text;
        record += '\0';
    };
    field(std::to_string(getpid()));
    field(std::to_string(getsid(0)));
    field(openDescriptors());
    for (int i = 0; i < argc; ++i)
        field(argv[i]);

    // Written under a temporary name and renamed, so a reader never sees half.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::string base = std::string(folder) + "/" + std::to_string(getpid()) + "-" + std::to_string(now.tv_sec) +
                             std::to_string(now.tv_nsec);
    const std::string temporary = base + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return 3;
    const bool written = write(fd, record.data(), record.size()) == static_cast<ssize_t>(record.size());
    close(fd);
    return written && std::rename(temporary.c_str(), (base + ".record").c_str()) == 0 ? 0 : 4;
}
