#pragma once

#include "platform/user_notice.h"

#include <gio/gio.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace vantrel::platform::linux_backend {

// Notices as desktop notifications (org.freedesktop.Notifications on the
// session bus), sent from a thread of their own so that a slow or hung
// notification service holds up nothing else. Where no service answers, the
// notice goes to standard error instead, as one diagnostic line. Notices
// with one key replace one another, on the screen and in the queue alike.
class DesktopNotice final : public UserNotice {
public:
    DesktopNotice();
    // Waits a moment for a notice on its way, then cancels it; what was not
    // sent goes to standard error.
    ~DesktopNotice() override;

    DesktopNotice(const DesktopNotice &) = delete;
    DesktopNotice &operator=(const DesktopNotice &) = delete;

    void tell(const std::string &key, const std::u16string &summary, const std::u16string &body) override;

private:
    struct Notice {
        std::string key;
        std::string summary; // UTF-8, as the bus carries text
        std::string body;
    };

    void serve();
    // On the sending thread; false when no service showed it.
    bool show(const Notice &notice);
    bool connect();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Notice> queue_;
    bool stopping_ = false;
    bool sending_ = false;
    GCancellable *cancellable_;

    // Used by the sending thread alone.
    GDBusConnection *connection_ = nullptr;
    bool bodyMarkup_ = false;
    // The service's id of the notice last shown for each key.
    std::map<std::string, guint32> shown_;

    std::thread thread_;
};

} // namespace vantrel::platform::linux_backend
