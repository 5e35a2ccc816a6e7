#include "website/resident_channel.h"
#include "platform/diagnostic.h"

#include <QMetaObject>

#include <array>
#include <mutex>
#include <system_error>
#include <thread>

namespace vantrel {

namespace {

// Longer than any command; a line past it is garbage and is dropped.
constexpr qsizetype maxLineLength = 256;

} // namespace

// What the reading thread shares with the channel: the channel itself, for
// as long as it lives.
struct ResidentChannel::Link {
    explicit Link(ResidentChannel *channel) : channel(channel) {}

    std::mutex mutex;
    ResidentChannel *channel;
};

ResidentChannel::ResidentChannel(Read read, QObject *parent) : QObject(parent), link_(std::make_shared<Link>(this))
{
    auto readInput = [link = link_, read = std::move(read)] {
        std::array<char, 256> buffer;
        for (;;) {
            const std::size_t count = read(buffer);
            const std::lock_guard lock(link->mutex);
            if (!link->channel)
                return;
            // A chunk posted to a channel that goes before it is delivered is
            // dropped with the channel's own events.
            QMetaObject::invokeMethod(
                link->channel,
                [channel = link->channel, chunk = QByteArray(buffer.data(), qsizetype(count))] {
                    channel->receive(chunk);
                },
                Qt::QueuedConnection);
            if (count == 0)
                return;
        }
    };
    try {
        std::thread(std::move(readInput)).detach();
    } catch (const std::system_error &error) {
        // The window still works; only the resident program cannot reach it.
        printDiagnostic(std::string("vantrel-website: cannot read from the resident program: ") + error.what());
    }
}

ResidentChannel::~ResidentChannel()
{
    const std::lock_guard lock(link_->mutex);
    link_->channel = nullptr;
}

void ResidentChannel::receive(const QByteArray &chunk)
{
    if (chunk.isEmpty()) {
        // End of input, or an input that can no longer be read: either way
        // the resident program is no longer there to talk to. The reading
        // thread sends nothing after it.
        emit closed();
        return;
    }
    pending_.append(chunk);
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
        if (!dropping_)
            handleLine(pending_.left(end));
        dropping_ = false;
        pending_.remove(0, end + 1);
    }
    if (pending_.size() > maxLineLength) {
        // The rest of the line goes too, up to its end: a command at the
        // tail of garbage was never sent as one.
        pending_.clear();
        dropping_ = true;
    }
}

void ResidentChannel::handleLine(const QByteArray &line)
{
    if (line == "raise")
        emit raiseRequested();
}

} // namespace vantrel
