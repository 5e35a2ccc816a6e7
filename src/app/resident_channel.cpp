#include "app/resident_channel.h"

#include <cerrno>
#include <unistd.h>

namespace vantrel {

namespace {

// Longer than any command; a line past it is garbage and is dropped.
constexpr qsizetype maxLineLength = 256;

} // namespace

ResidentChannel::ResidentChannel(int fd, QObject *parent)
    : QObject(parent), fd_(fd), notifier_(fd, QSocketNotifier::Read)
{
    connect(&notifier_, &QSocketNotifier::activated, this, &ResidentChannel::readAvailable);
}

void ResidentChannel::readAvailable()
{
    char buffer[256];
    const ssize_t count = ::read(fd_, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (count <= 0) {
        // End of input, or a pipe that can no longer be read: either way the
        // resident program is no longer there to talk to.
        notifier_.setEnabled(false);
        emit closed();
        return;
    }
    pending_.append(buffer, count);
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
        handleLine(pending_.left(end));
        pending_.remove(0, end + 1);
    }
    if (pending_.size() > maxLineLength)
        pending_.clear();
}

void ResidentChannel::handleLine(const QByteArray &line)
{
    if (line == "raise")
        emit raiseRequested();
}

} // namespace vantrel
