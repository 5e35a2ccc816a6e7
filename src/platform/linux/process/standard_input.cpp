#include "platform/standard_input.h"

#include <cerrno>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel::platform {

bool standardInputIsPipe()
{
    struct stat input {};
    return fstat(STDIN_FILENO, &input) == 0 && S_ISFIFO(input.st_mode);
}

std::size_t readStandardInput(std::span<char> buffer)
{
    for (;;) {
        const ssize_t count = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (count >= 0)
            return static_cast<std::size_t>(count);
        if (errno == EINTR)
            continue;
        // The program that handed us the input may have made it non-blocking.
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd input{STDIN_FILENO, POLLIN, 0};
            if (poll(&input, 1, -1) >= 0 || errno == EINTR)
                continue;
        }
        return 0;
    }
}

} // namespace vantrel::platform
