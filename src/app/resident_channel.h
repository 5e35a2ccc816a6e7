#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

namespace vantrel {

// The website helper's end of the pipe from the resident program (see
// WebsiteLauncher): one command a line. The end of the input means that the
// resident program has let go of the helper, by closing the window from its
// side or by ending, whichever way it ended.
class ResidentChannel : public QObject {
    Q_OBJECT
public:
    // Reads fd, which the caller keeps open for the channel's lifetime.
    explicit ResidentChannel(int fd, QObject *parent = nullptr);

signals:
    void raiseRequested();
    void closed();

private:
    void readAvailable();
    void handleLine(const QByteArray &line);

    const int fd_;
    QSocketNotifier notifier_;
    QByteArray pending_;
};

} // namespace vantrel
