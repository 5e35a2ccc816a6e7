#pragma once

#include "platform/linux/glib_handles.h"
#include "platform/session_bus.h"

#include <gio/gio.h>

#include <mutex>
#include <thread>

namespace vantrel::platform::linux_backend {

// The session bus through GDBus, on a connection of our own: a shared one
// would end the whole program when the bus goes away, and its requests would
// be served on whatever context its first user chose.
class GdbusSessionBus final : public SessionBus {
public:
    // On a private connection (see openPrivateSessionConnection).
    static SessionBusAccess connect();

    explicit GdbusSessionBus(GObjectPtr<GDBusConnection> connection);
    ~GdbusSessionBus() override;

    GdbusSessionBus(const GdbusSessionBus &) = delete;
    GdbusSessionBus &operator=(const GdbusSessionBus &) = delete;

    Claim claimName(std::string *error) override;
    Delivery press(FunctionKey key, std::string *error) override;
    Delivery showConfiguration(std::string *error) override;
    int wakeupFd() const override { return wakeup_; }
    SessionRequests collect() override;

private:
    static void onMethodCall(GDBusConnection *, const gchar *sender, const gchar *path, const gchar *interface,
                             const gchar *method, GVariant *parameters, GDBusMethodInvocation *invocation,
                             gpointer self);
    Delivery call(const char *method, GVariant *parameters, std::string *error);
    // On the serving thread: a request to pass on to the program.
    template <typename Change>
    void receive(Change change);
    void serve();

    GObjectPtr<GDBusConnection> connection_;
    int wakeup_;
    std::mutex mutex_;
    SessionRequests pending_;
    GMainContext *context_;
    GMainLoop *loop_;
    guint registration_ = 0;
    std::thread thread_;
};

} // namespace vantrel::platform::linux_backend
