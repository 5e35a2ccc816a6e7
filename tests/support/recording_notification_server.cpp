#include "recording_notification_server.h"

#include <cstdlib>

namespace vantrel::test {

namespace {

constexpr char kIntrospection[] = R"(<node>
  <interface name="org.freedesktop.Notifications">
    <method name="GetCapabilities"><arg type="as" direction="out"/></method>
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
    </method>
    <method name="GetServerInformation">
      <arg type="s" direction="out"/><arg type="s" direction="out"/><arg type="s" direction="out"/>
      <arg type="s" direction="out"/>
    </method>
  </interface>
</node>)";

gboolean quitLoop(gpointer loop)
{
    g_main_loop_quit(static_cast<GMainLoop *>(loop));
    return G_SOURCE_REMOVE;
}

} // namespace

RecordingNotificationServer::RecordingNotificationServer(bool bodyMarkup)
    : bodyMarkup_(bodyMarkup), context_(g_main_context_new()), loop_(g_main_loop_new(context_, FALSE))
{
    const char *address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!address)
        return;
    connection_ = g_dbus_connection_new_for_address_sync(
        address,
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    if (!connection_)
        return;
    static GDBusNodeInfo *const node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    static const GDBusInterfaceVTable vtable{onMethodCall, nullptr, nullptr, {}};
    g_main_context_push_thread_default(context_);
    registration_ = g_dbus_connection_register_object(connection_, "/org/freedesktop/Notifications",
                                                      node->interfaces[0], &vtable, this, nullptr, nullptr);
    g_main_context_pop_thread_default(context_);
    GVariant *reply = g_dbus_connection_call_sync(
        connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
        g_variant_new("(su)", "org.freedesktop.Notifications", 4u), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000,
        nullptr, nullptr);
    if (reply) {
        guint32 answer = 0;
        g_variant_get(reply, "(u)", &answer);
        g_variant_unref(reply);
        serving_ = registration_ != 0 && answer == 1;
    }
    thread_ = std::thread([this] { g_main_loop_run(loop_); });
}

RecordingNotificationServer::~RecordingNotificationServer()
{
    release();
    if (thread_.joinable()) {
        g_main_context_invoke(context_, quitLoop, loop_);
        thread_.join();
    }
    if (registration_)
        g_dbus_connection_unregister_object(connection_, registration_);
    if (connection_) {
        g_dbus_connection_close_sync(connection_, nullptr, nullptr);
        g_object_unref(connection_);
    }
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
}

std::vector<RecordingNotificationServer::Notification> RecordingNotificationServer::waitFor(
    std::size_t count, std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, limit, [&] { return received_.size() >= count; });
    return received_;
}

void RecordingNotificationServer::hold()
{
    const std::lock_guard lock(mutex_);
    holding_ = true;
}

void RecordingNotificationServer::release()
{
    std::vector<std::pair<GDBusMethodInvocation *, std::uint32_t>> held;
    {
        const std::lock_guard lock(mutex_);
        holding_ = false;
        held.swap(held_);
    }
    for (const auto &[invocation, id] : held)
        answer(invocation, id);
}

void RecordingNotificationServer::answer(GDBusMethodInvocation *invocation, std::uint32_t id)
{
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", id));
}

void RecordingNotificationServer::onMethodCall(GDBusConnection *, const gchar *, const gchar *, const gchar *,
                                               const gchar *method, GVariant *parameters,
                                               GDBusMethodInvocation *invocation, gpointer self)
{
    auto &server = *static_cast<RecordingNotificationServer *>(self);
    const std::string name(method);
    if (name == "GetCapabilities") {
        const gchar *plain[] = {"body", nullptr};
        const gchar *markup[] = {"body", "body-markup", nullptr};
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(^as)", server.bodyMarkup_ ? markup : plain));
        return;
    }
    if (name == "GetServerInformation") {
        g_dbus_method_invocation_return_value(invocation,
                                              g_variant_new("(ssss)", "recorder", "vantrel tests", "1", "1.2"));
        return;
    }
    Notification notification;
    const gchar *appName = nullptr, *appIcon = nullptr, *summary = nullptr, *body = nullptr;
    g_variant_get(parameters, "(&su&s&s&s@as@a{sv}i)", &appName, &notification.replacesId, &appIcon, &summary, &body,
                  nullptr, nullptr, nullptr);
    notification.appName = appName;
    notification.appIcon = appIcon;
    notification.summary = summary;
    notification.body = body;
    bool holding = false;
    {
        const std::lock_guard lock(server.mutex_);
        // As the desktop's daemons do: a replaced notice keeps its id.
        notification.id = notification.replacesId != 0 ? notification.replacesId : ++server.lastId_;
        server.received_.push_back(notification);
        holding = server.holding_;
        if (holding)
            server.held_.emplace_back(invocation, notification.id);
    }
    server.changed_.notify_all();
    if (!holding)
        server.answer(invocation, notification.id);
}

} // namespace vantrel::test
