#include "platform/linux/open/launch_plan.h"

#include <glib.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel::platform::linux_backend {

namespace {

LaunchPlan unopenable(std::string reason) { return {LaunchPlan::Kind::Unopenable, {}, std::move(reason)}; }

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Whether the kernel can run the file by itself: an ELF image or a script
// naming its interpreter. Anything else with the execute bit (every file on
// a stick mounted with default options has it) is a document, never a list
// of shell commands. A file we may run but not read (as mode 0711 gives
// everyone but its owner) can only be a binary: an interpreter would have to
// read a script, and no document handler could open it either.
bool runsByItself(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES;
    struct stat opened {};
    char start[4] = {};
    ssize_t got = 0;
    if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode)) {
        do
            got = read(fd, start, sizeof start);
        while (got < 0 && errno == EINTR);
    }
    close(fd);
    return (got == 4 && std::memcmp(start,
                                    "\x7f"
                                    "ELF",
                                    4) == 0) ||
           (got >= 2 && start[0] == '#' && start[1] == '!');
}

std::string danglingLinkReason(const std::string &path)
{
    std::string target(PATH_MAX, '\0');
    const ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<std::size_t>(length) == target.size())
        return "a link to a file that is not there";
    target.resize(static_cast<std::size_t>(length));
    return "a link to " + target + ", which is not there";
}

} // namespace

LaunchPlan planLaunch(std::string_view target)
{
    const std::string text(target);
    // "notes:monday.txt" reads as an address with the scheme "notes"; a file
    // of that name in the working folder is what the user meant.
    struct stat link {};
    if (g_uri_peek_scheme(text.c_str()) && lstat(text.c_str(), &link) != 0)
        return {LaunchPlan::Kind::Address, text, {}};

    std::string path;
    if (text.front() != '/') {
        // Let getcwd() allocate: the folder may be longer than any fixed buffer.
        char *cwd = getcwd(nullptr, 0);
        if (!cwd)
            return unopenable(std::string("no working directory: ") + std::strerror(errno));
        path = cwd;
        std::free(cwd);
        if (path.back() != '/')
            path += '/';
    }
    path += text;

    if (lstat(path.c_str(), &link) != 0)
        return unopenable(std::strerror(errno));

    struct stat followed {};
    if (stat(path.c_str(), &followed) != 0) {
        // A link to what is not there (any more): no handler could open it.
        if (errno == ENOENT && S_ISLNK(link.st_mode))
            return unopenable(danglingLinkReason(path));
        return {LaunchPlan::Kind::DefaultHandler, path, {}};
    }
    if (!S_ISREG(followed.st_mode))
        return {LaunchPlan::Kind::DefaultHandler, path, {}};
    if (endsWith(path, ".desktop"))
        return {LaunchPlan::Kind::DesktopEntry, path, {}};
    if (access(path.c_str(), X_OK) == 0 && runsByItself(path))
        return {LaunchPlan::Kind::Program, path, {}};
    return {LaunchPlan::Kind::DefaultHandler, path, {}};
}

} // namespace vantrel::platform::linux_backend
