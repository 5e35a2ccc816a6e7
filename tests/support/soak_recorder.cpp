// Stands in for the programs and handler applications of the soak: appends one
// line to $VANTREL_SOAK_LOG per run, naming what it was given: the file name
// of its last argument, or its own name when it has none. Lines of up to a
// few hundred bytes appended with O_APPEND never mix, however many runs
// write at once.

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char *argv[])
{
    const char *log = std::getenv("VANTREL_SOAK_LOG");
    if (!log)
        return 2;
    const char *given = argv[argc - 1];
    const char *slash = std::strrchr(given, '/');
    const std::string line = std::string(slash ? slash + 1 : given) + "\n";
    const int fd = open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return 3;
    const bool written = write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    return close(fd) == 0 && written ? 0 : 4;
}
