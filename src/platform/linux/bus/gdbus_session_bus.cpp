#include "platform/linux/bus/gdbus_session_bus.h"

#include "platform/diagnostic.h"
#include "platform/linux/bus/private_session_connection.h"

#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

namespace vantrel::platform::linux_backend {

namespace {

constexpr char kName[] = "org.morvask.Vantrel";
constexpr char kPath[] = "/org/morvask/Vantrel";
constexpr char kInterface[] = "org.morvask.Vantrel";

constexpr char kIntrospection[] = R"(<node>
  <interface name="org.morvask.Vantrel">
    <method name="Press"><arg name="key" type="s" direction="in"/></method>
    <method name="ShowConfiguration"/>
  </interface>
</node>)";

// A press is answered once the program has handed its file to the desktop,
// which takes milliseconds; only a stopped or hung copy takes longer.
constexpr int kCallTimeoutMs = 10000;

// The answer to a press that will not open.
constexpr char kNotOpenedError[] = "org.morvask.Vantrel.Error.NotOpened";

// Longer names are none of the keys, and are not repeated back: a name may
// be as long as a bus message.
constexpr std::size_t kLongestKeyName = 3;

// RequestName's flag and its answers, as the bus defines them.
constexpr guint32 kDoNotQueue = 4;
constexpr guint32 kPrimaryOwner = 1;
constexpr guint32 kAlreadyOwner = 4;
constexpr guint32 kExists = 3;

GDBusInterfaceInfo *interfaceInfo()
{
    // Parsed once and kept for the life of the process, as GDBus keeps a
    // reference while the object is registered.
    static GDBusNodeInfo *const node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    return node->interfaces[0];
}

std::string messageOf(GError *error)
{
    g_dbus_error_strip_remote_error(error);
    return error->message;
}

gboolean quitLoop(gpointer loop)
{
    g_main_loop_quit(static_cast<GMainLoop *>(loop));
    return G_SOURCE_REMOVE;
}

// A Press call, answered from whichever thread learns what becomes of it
// (GDBus sends replies from any thread).
class BusPress final : public HandedOverPress {
public:
    BusPress(FunctionKey key, GDBusMethodInvocation *invocation) : key_(key), invocation_(invocation) {}
    ~BusPress() override
    {
        if (invocation_)
            answer("Vantrel ended before it could open it");
    }
    BusPress(const BusPress &) = delete;
    BusPress &operator=(const BusPress &) = delete;

    FunctionKey key() const override { return key_; }

    void answer(const std::string &refusal) override
    {
        GDBusMethodInvocation *invocation = std::exchange(invocation_, nullptr);
        if (!invocation)
            return;
        if (refusal.empty()) {
            g_dbus_method_invocation_return_value(invocation, nullptr);
            return;
        }
        const std::string message = std::string(keyLabel(key_)) + " is not opened: " + refusal;
        g_dbus_method_invocation_return_dbus_error(invocation, kNotOpenedError, message.c_str());
    }

private:
    FunctionKey key_;
    GDBusMethodInvocation *invocation_; // until answered
};

} // namespace

SessionBusAccess GdbusSessionBus::connect()
{
    SessionBusAccess access;
    auto opened = openPrivateSessionConnection();
    if (!opened.connection) {
        access.problem = opened.problem;
        access.unreachable = opened.busExists;
        return access;
    }
    access.bus = std::make_unique<GdbusSessionBus>(std::move(opened.connection));
    return access;
}

GdbusSessionBus::GdbusSessionBus(GObjectPtr<GDBusConnection> connection)
    : connection_(std::move(connection)), wakeup_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      context_(g_main_context_new()), loop_(g_main_loop_new(context_, FALSE))
{
}

GdbusSessionBus::~GdbusSessionBus()
{
    if (thread_.joinable()) {
        // Quit from inside the loop: a quit before the loop runs is lost.
        g_main_context_invoke(context_, quitLoop, loop_);
        thread_.join();
    }
    // Presses never collected are answered while the connection is open.
    pending_ = {};
    if (registration_)
        g_dbus_connection_unregister_object(connection_.get(), registration_);
    // Lets go of the name now rather than whenever the last reference goes.
    g_dbus_connection_close_sync(connection_.get(), nullptr, nullptr);
    connection_.reset();
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
    if (wakeup_ >= 0)
        ::close(wakeup_);
}

SessionBus::Claim GdbusSessionBus::claimName(std::string *error)
{
    if (thread_.joinable())
        return Claim::Owned;
    if (wakeup_ < 0) {
        *error = std::string("cannot make a wake-up descriptor: ") + std::strerror(errno);
        return Claim::Failed;
    }

    // The object is there before the name, so that a copy which finds the
    // name also finds it answering. Its calls come to this bus's own context,
    // which the serving thread runs once the name is ours.
    static const GDBusInterfaceVTable vtable{onMethodCall, nullptr, nullptr, {}};
    GError *raw = nullptr;
    g_main_context_push_thread_default(context_);
    registration_ =
        g_dbus_connection_register_object(connection_.get(), kPath, interfaceInfo(), &vtable, this, nullptr, &raw);
    g_main_context_pop_thread_default(context_);
    if (!registration_) {
        const GErrorPtr failure(raw);
        *error = "cannot offer the program's object on the session bus: " + messageOf(raw);
        return Claim::Failed;
    }

    // Without queueing: of several copies started at once, exactly one gets
    // the name, and the others learn at once that it is taken.
    GVariant *reply =
        g_dbus_connection_call_sync(connection_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                    "org.freedesktop.DBus", "RequestName", g_variant_new("(su)", kName, kDoNotQueue),
                                    G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &raw);
    guint32 answer = 0;
    if (reply) {
        g_variant_get(reply, "(u)", &answer);
        g_variant_unref(reply);
    }
    if (answer == kPrimaryOwner || answer == kAlreadyOwner) {
        thread_ = std::thread([this] { serve(); });
        return Claim::Owned;
    }

    g_dbus_connection_unregister_object(connection_.get(), registration_);
    registration_ = 0;
    if (answer == kExists)
        return Claim::HeldElsewhere;
    if (!reply) {
        const GErrorPtr failure(raw);
        *error = std::string("cannot take the name ") + kName + " on the session bus: " + messageOf(raw);
    } else {
        *error =
            std::string("the session bus did not give the name ") + kName + " (answer " + std::to_string(answer) + ")";
    }
    return Claim::Failed;
}

SessionBus::Delivery GdbusSessionBus::press(FunctionKey key, std::string *error)
{
    const std::string label(keyLabel(key));
    return call("Press", g_variant_new("(s)", label.c_str()), error);
}

SessionBus::Delivery GdbusSessionBus::showConfiguration(std::string *error)
{
    return call("ShowConfiguration", nullptr, error);
}

SessionBus::Delivery GdbusSessionBus::call(const char *method, GVariant *parameters, std::string *error)
{
    GError *raw = nullptr;
    // Never started by the bus: a press with no Vantrel running fails
    // rather than starting one behind the user's back.
    GVariant *reply =
        g_dbus_connection_call_sync(connection_.get(), kName, kPath, kInterface, method, parameters, nullptr,
                                    G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, &raw);
    if (reply) {
        g_variant_unref(reply);
        return Delivery::Delivered;
    }
    const GErrorPtr failure(raw);
    if (g_error_matches(raw, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
        g_error_matches(raw, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER))
        return Delivery::NoneRunning;
    GCharPtr remoteName(g_dbus_error_get_remote_error(raw));
    const bool refused = remoteName && std::strcmp(remoteName.get(), kNotOpenedError) == 0;
    const bool unanswered = g_error_matches(raw, G_IO_ERROR, G_IO_ERROR_TIMED_OUT) ||
                            g_error_matches(raw, G_DBUS_ERROR, G_DBUS_ERROR_NO_REPLY) ||
                            g_error_matches(raw, G_DBUS_ERROR, G_DBUS_ERROR_TIMEOUT) ||
                            g_error_matches(raw, G_DBUS_ERROR, G_DBUS_ERROR_TIMED_OUT);
    *error = messageOf(raw);
    return refused ? Delivery::Refused : unanswered ? Delivery::NoAnswer : Delivery::Failed;
}

SessionRequests GdbusSessionBus::collect()
{
    const std::lock_guard lock(mutex_);
    std::uint64_t count = 0;
    // Nothing to read (EAGAIN) just means that nothing came.
    if (::read(wakeup_, &count, sizeof count) < 0 && errno != EAGAIN)
        printDiagnostic(std::string("vantrel: cannot read the session bus's wake-up descriptor: ") +
                        std::strerror(errno));
    return std::exchange(pending_, {});
}

template <typename Change>
void GdbusSessionBus::receive(Change change)
{
    const std::lock_guard lock(mutex_);
    change(pending_);
    const std::uint64_t one = 1;
    // The only failure is a counter about to overflow, which is readable
    // already: the program wakes either way.
    if (::write(wakeup_, &one, sizeof one) < 0 && errno != EAGAIN)
        printDiagnostic(std::string("vantrel: cannot wake the program for a session bus request: ") +
                        std::strerror(errno));
}

void GdbusSessionBus::onMethodCall(GDBusConnection *, const gchar *, const gchar *, const gchar *, const gchar *method,
                                   GVariant *parameters, GDBusMethodInvocation *invocation, gpointer self)
{
    auto *bus = static_cast<GdbusSessionBus *>(self);
    // GDBus has already checked the method and its arguments against the
    // interface: Press (s) or ShowConfiguration ().
    if (std::strcmp(method, "Press") == 0) {
        const gchar *name = nullptr;
        g_variant_get(parameters, "(&s)", &name);
        const std::size_t length = std::strlen(name);
        const auto key = functionKeyNamed(name);
        if (!key) {
            if (length > kLongestKeyName)
                g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                                                      "a key name of %zu bytes is none of the keys F6 to F12", length);
            else
                g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                                                      "\"%s\" is none of the keys F6 to F12", name);
            return;
        }
        // Answered once the program has tried to open it.
        bus->receive([&](SessionRequests &requests) {
            requests.presses.push_back(std::make_unique<BusPress>(*key, invocation));
        });
        return;
    }
    bus->receive([](SessionRequests &requests) { requests.showConfiguration = true; });
    g_dbus_method_invocation_return_value(invocation, nullptr);
}

void GdbusSessionBus::serve()
{
    pthread_setname_np(pthread_self(), "vantrel-bus");
    g_main_context_push_thread_default(context_);
    g_main_loop_run(loop_);
    g_main_context_pop_thread_default(context_);
}

} // namespace vantrel::platform::linux_backend
