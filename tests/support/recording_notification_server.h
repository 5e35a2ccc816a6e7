#pragma once

#include <gio/gio.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantrel::test {

// Stands in for the desktop's notification daemon, which does not run here:
// org.freedesktop.Notifications on the session bus named by
// DBUS_SESSION_BUS_ADDRESS (a PrivateSessionBus), answering Notify as the
// desktop's daemon does and recording every notification it is sent.
class RecordingNotificationServer {
public:
    struct Notification {
        std::string appName;
        std::uint32_t replacesId = 0;
        std::string appIcon;
        std::string summary;
        std::string body;
        std::uint32_t id = 0; // the one answered
    };

    // bodyMarkup: whether the server says it reads markup in bodies.
    explicit RecordingNotificationServer(bool bodyMarkup = false);
    ~RecordingNotificationServer();

    RecordingNotificationServer(const RecordingNotificationServer &) = delete;
    RecordingNotificationServer &operator=(const RecordingNotificationServer &) = delete;

    // Whether the name is ours on the bus.
    bool serving() const { return serving_; }

    // The notifications once count have come, or those that came within the limit.
    std::vector<Notification> waitFor(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(20));

    // While held, Notify calls are recorded but not answered, as a hung daemon.
    void hold();
    void release();

private:
    static void onMethodCall(GDBusConnection *, const gchar *, const gchar *, const gchar *, const gchar *method,
                             GVariant *parameters, GDBusMethodInvocation *invocation, gpointer self);
    void answer(GDBusMethodInvocation *invocation, std::uint32_t id);

    bool bodyMarkup_;
    bool serving_ = false;
    GMainContext *context_;
    GMainLoop *loop_;
    GDBusConnection *connection_ = nullptr;
    guint registration_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Notification> received_;
    bool holding_ = false;
    std::vector<std::pair<GDBusMethodInvocation *, std::uint32_t>> held_;
    std::uint32_t lastId_ = 0;
    std::thread thread_;
};

} // namespace vantrel::test
