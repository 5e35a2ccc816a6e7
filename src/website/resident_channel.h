#pragma once

#include <QByteArray>
#include <QObject>

#include <cstddef>
#include <functional>
#include <memory>
#include <span>

namespace vantrel {

// The website helper's end of the pipe from the resident program (see
// WebsiteLauncher): one command a line. The end of the input means that the
// resident program has let go of the helper, by closing the window from its
// side or by ending, whichever way it ended.
//
// The input is read on a thread of its own with plain blocking reads, the one
// way of reading a pipe that works on every system (Qt's notifiers watch
// pipes on Unix only). No system offers a portable way to interrupt such a
// read, so the thread is never joined: it owns everything it touches, and a
// channel destroyed before the input ends simply hears no more of it. At the
// end of the helper the thread ends with the process.
class ResidentChannel : public QObject {
    Q_OBJECT
public:
    // Waits for input and reads at most the buffer's size; returns the count
    // read, 0 at the end of the input. Called on the reading thread only.
    using Read = std::function<std::size_t(std::span<char>)>;

    explicit ResidentChannel(Read read, QObject *parent = nullptr);
    ~ResidentChannel() override;

signals:
    void raiseRequested();
    void closed();

private:
    struct Link;

    // On the channel's thread: a chunk of input, empty at its end.
    void receive(const QByteArray &chunk);
    void handleLine(const QByteArray &line);

    std::shared_ptr<Link> link_;
    QByteArray pending_;
    // An overlong line is being dropped up to its end.
    bool dropping_ = false;
};

} // namespace vantrel
