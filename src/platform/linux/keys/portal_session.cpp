#include "platform/linux/keys/portal_session.h"

#include "platform/diagnostic.h"
#include "platform/linux/bus/private_session_connection.h"
#include "platform/linux/glib_handles.h"

#include <gio/gio.h>

#include <pthread.h>

#include <algorithm>
#include <future>
#include <map>
#include <thread>

namespace vantrel::platform::linux_backend {

namespace {

constexpr const char *kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char *kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char *kShortcutsInterface = "org.freedesktop.portal.GlobalShortcuts";
constexpr const char *kRegistryInterface = "org.freedesktop.host.portal.Registry";
constexpr const char *kAppId = "org.morvask.Vantrel";
// KDE names the shortcuts' entry in its settings after the session token:
// a fixed one keeps the user's changes, and asks no question again, from one
// start to the next.
constexpr const char *kSessionToken = "vantrel";
// Asking the portal may start it, and its desktop backend with it.
constexpr int kStartTimeoutMs = 20000;

std::string describe(const GError *error) { return error ? error->message : "no answer"; }

std::optional<FunctionKey> keyForId(std::string_view id)
{
    for (const auto key : kFunctionKeys)
        if (keyLabel(key) == id)
            return key;
    return std::nullopt;
}

GObjectPtr<GDBusConnection> connectToSessionBus(std::string *error)
{
    auto opened = openPrivateSessionConnection();
    if (!opened.connection)
        *error = opened.problem;
    return std::move(opened.connection);
}

GVariantPtr callPortal(GDBusConnection *connection, const char *interface, const char *method, GVariant *arguments,
                       const char *replyType, GError **error)
{
    return GVariantPtr(g_dbus_connection_call_sync(connection, kPortalName, kPortalPath, interface, method, arguments,
                                                   G_VARIANT_TYPE(replyType), G_DBUS_CALL_FLAGS_NONE, kStartTimeoutMs,
                                                   nullptr, error));
}

// The interface's version, or nothing when the portal does not offer it.
std::optional<unsigned> globalShortcutsVersion(GDBusConnection *connection, std::string *error)
{
    GError *raw = nullptr;
    const auto reply = callPortal(connection, "org.freedesktop.DBus.Properties", "Get",
                                  g_variant_new("(ss)", kShortcutsInterface, "version"), "(v)", &raw);
    const GErrorPtr failure(raw);
    if (!reply) {
        *error = "the desktop offers no global shortcuts portal: " + describe(failure.get());
        return std::nullopt;
    }
    GVariantPtr value(g_variant_get_child_value(reply.get(), 0));
    GVariantPtr version(g_variant_get_variant(value.get()));
    if (!g_variant_is_of_type(version.get(), G_VARIANT_TYPE_UINT32)) {
        *error = "the global shortcuts portal gives no version";
        return std::nullopt;
    }
    return g_variant_get_uint32(version.get());
}

// Newer portals know a program outside a sandbox only by the id it
// registers, before any other call; older ones have no registry.
void registerAppId(GDBusConnection *connection)
{
    GError *raw = nullptr;
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    callPortal(connection, kRegistryInterface, "Register", g_variant_new("(sa{sv})", kAppId, &options), "()", &raw);
    const GErrorPtr failure(raw);
    if (failure && !g_error_matches(failure.get(), G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD) &&
        !g_error_matches(failure.get(), G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_INTERFACE) &&
        !g_error_matches(failure.get(), G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_OBJECT))
        printDiagnostic(std::string("vantrel: the portal did not register the application id ") + kAppId + ": " +
                        failure->message);
}

// The request and session objects the portal makes for us are named after
// our unique bus name and the token we give.
std::string portalObjectPath(GDBusConnection *connection, const char *kind, const std::string &token)
{
    std::string sender = g_dbus_connection_get_unique_name(connection);
    if (!sender.empty() && sender.front() == ':')
        sender.erase(0, 1);
    for (char &c : sender)
        if (c == '.')
            c = '_';
    return std::string(kPortalPath) + "/" + kind + "/" + sender + "/" + token;
}

GVariant *shortcutList(const KeySelection &keys)
{
    GVariantBuilder list;
    g_variant_builder_init(&list, G_VARIANT_TYPE("a(sa{sv})"));
    for (const auto key : kFunctionKeys) {
        if (!keys[slotIndex(key)])
            continue;
        const std::string label(keyLabel(key));
        const std::string description = "Open the file bound to " + label;
        GVariantBuilder properties;
        g_variant_builder_init(&properties, G_VARIANT_TYPE_VARDICT);
        g_variant_builder_add(&properties, "{sv}", "description", g_variant_new_string(description.c_str()));
        g_variant_builder_add(&properties, "{sv}", "preferred_trigger", g_variant_new_string(label.c_str()));
        g_variant_builder_add(&list, "(s@a{sv})", label.c_str(), g_variant_builder_end(&properties));
    }
    return g_variant_builder_end(&list);
}

// Every selected key without a trigger: the desktop bound none of them.
DesktopTriggers unassigned(const KeySelection &keys)
{
    DesktopTriggers triggers;
    for (const auto key : kFunctionKeys)
        if (keys[slotIndex(key)])
            triggers[slotIndex(key)] = std::string();
    return triggers;
}

// The triggers a list of shortcuts, as the portal describes them, gives our
// keys; a key the list leaves out has none. Without a list nothing is known.
DesktopTriggers triggersIn(GVariant *shortcuts, const KeySelection &keys)
{
    if (!shortcuts || !g_variant_is_of_type(shortcuts, G_VARIANT_TYPE("a(sa{sv})")))
        return {};
    DesktopTriggers triggers = unassigned(keys);
    GVariantIter iter;
    g_variant_iter_init(&iter, shortcuts);
    const char *id = nullptr;
    GVariant *properties = nullptr;
    while (g_variant_iter_next(&iter, "(&s@a{sv})", &id, &properties)) {
        const GVariantPtr owned(properties);
        const auto key = keyForId(id);
        if (!key || !keys[slotIndex(*key)])
            continue;
        const char *trigger = nullptr;
        // A backend that does not describe triggers leaves the key as it is.
        if (g_variant_lookup(properties, "trigger_description", "&s", &trigger))
            triggers[slotIndex(*key)] = trigger;
        else
            triggers[slotIndex(*key)].reset();
    }
    return triggers;
}

bool listsEveryKey(GVariant *shortcuts, const KeySelection &keys)
{
    KeySelection listed{};
    if (shortcuts && g_variant_is_of_type(shortcuts, G_VARIANT_TYPE("a(sa{sv})"))) {
        GVariantIter iter;
        g_variant_iter_init(&iter, shortcuts);
        const char *id = nullptr;
        while (g_variant_iter_next(&iter, "(&s@a{sv})", &id, nullptr))
            if (const auto key = keyForId(id))
                listed[slotIndex(*key)] = true;
    }
    for (std::size_t slot = 0; slot < kFunctionKeyCount; ++slot)
        if (keys[slot] && !listed[slot])
            return false;
    return true;
}

} // namespace

// Lives on the session's thread, except for the posting of jobs.
class PortalSession::Worker {
public:
    explicit Worker(PortalSessionEvents events)
        : events_(std::move(events)), context_(g_main_context_new()), loop_(g_main_loop_new(context_, FALSE)),
          cancellable_(g_cancellable_new()), thread_([this] { run(); })
    {
    }

    ~Worker()
    {
        post([this] { shutDown(); });
        thread_.join();
        g_main_loop_unref(loop_);
        g_main_context_unref(context_);
    }

    Worker(const Worker &) = delete;
    Worker &operator=(const Worker &) = delete;

    void post(std::function<void()> job)
    {
        using Job = std::function<void()>;
        g_main_context_invoke_full(
            context_, G_PRIORITY_DEFAULT,
            [](gpointer data) -> gboolean {
                (*static_cast<Job *>(data))();
                return G_SOURCE_REMOVE;
            },
            new Job(std::move(job)), [](gpointer data) { delete static_cast<Job *>(data); });
    }

    bool open(std::string *error)
    {
        connection_ = connectToSessionBus(error);
        if (!connection_)
            return false;
        registerAppId(connection_.get());
        const auto version = globalShortcutsVersion(connection_.get(), error);
        if (!version)
            return false;
        version_ = *version;
        sessionPath_ = portalObjectPath(connection_.get(), "session", kSessionToken);
        g_signal_connect(connection_.get(), "closed", G_CALLBACK(&Worker::onClosed), this);
        signalSubscription_ = g_dbus_connection_signal_subscribe(
            connection_.get(), kPortalName, kShortcutsInterface, nullptr, kPortalPath, nullptr,
            G_DBUS_SIGNAL_FLAGS_NONE, &Worker::onShortcutSignal, this, nullptr);
        portalWatch_ = g_bus_watch_name_on_connection(connection_.get(), kPortalName, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                                      nullptr, &Worker::onPortalVanished, this, nullptr);
        return true;
    }

    void bind(const KeySelection &keys)
    {
        wanted_ = keys;
        if (!busy_ && !lost_)
            bindWanted();
    }

private:
    // One portal request under way: the answer comes as a Response signal
    // on an object named after our token.
    struct Request {
        Worker *worker;
        guint subscription = 0;
        std::function<void(guint32 code, GVariant *results)> answered;
    };

    void run()
    {
        pthread_setname_np(pthread_self(), "vantrel-portal");
        g_main_context_push_thread_default(context_);
        g_main_loop_run(loop_);
        g_main_context_pop_thread_default(context_);
    }

    void shutDown()
    {
        stopping_ = true;
        g_cancellable_cancel(cancellable_.get());
        // Cancelled calls still answer through this context.
        while (pendingCalls_ > 0)
            g_main_context_iteration(context_, TRUE);
        if (connection_) {
            for (auto &[path, request] : requests_)
                g_dbus_connection_signal_unsubscribe(connection_.get(), request->subscription);
            requests_.clear();
            if (signalSubscription_)
                g_dbus_connection_signal_unsubscribe(connection_.get(), signalSubscription_);
            if (portalWatch_)
                g_bus_unwatch_name(portalWatch_);
            g_signal_handlers_disconnect_by_data(connection_.get(), this);
            g_dbus_connection_close_sync(connection_.get(), nullptr, nullptr);
            connection_.reset();
        }
        // Whatever the calls above left for this context to run.
        while (g_main_context_pending(context_))
            g_main_context_iteration(context_, FALSE);
        g_main_loop_quit(loop_);
    }

    // Binding starts over from a new session: the portal of Plasma 5.27
    // takes the shortcuts only when the session is made, and closing the
    // session releases the keys no longer wanted.
    void bindWanted()
    {
        const KeySelection keys = wanted_;
        bound_ = keys;
        if (sessionOpen_) {
            sessionOpen_ = false;
            callAsync(sessionPath_.c_str(), "org.freedesktop.portal.Session", "Close", nullptr,
                      [](GVariant *, const GError *) {});
        }
        DesktopTriggers none;
        if (std::none_of(keys.begin(), keys.end(), [](bool used) { return used; })) {
            events_.triggers(none);
            return;
        }
        busy_ = true;
        GVariantBuilder options;
        g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
        g_variant_builder_add(&options, "{sv}", "session_handle_token", g_variant_new_string(kSessionToken));
        g_variant_builder_add(&options, "{sv}", "shortcuts", shortcutList(keys));
        request(
            "CreateSession",
            [&](GVariant *handleToken) {
                g_variant_builder_add(&options, "{sv}", "handle_token", handleToken);
                return g_variant_new("(a{sv})", &options);
            },
            [this, keys](guint32 code, GVariant *results) { sessionCreated(keys, code, results); });
    }

    void sessionCreated(const KeySelection &keys, guint32 code, GVariant *results)
    {
        const char *handle = nullptr;
        if (code != 0 || !g_variant_lookup(results, "session_handle", "&s", &handle)) {
            report("the desktop made no global shortcuts session", code);
            finish(DesktopTriggers{});
            return;
        }
        sessionOpen_ = true;
        sessionPath_ = handle;
        const GVariantPtr shortcuts(g_variant_lookup_value(results, "shortcuts", G_VARIANT_TYPE("a(sa{sv})")));
        // Plasma 5.27 bound them with the session and would open its
        // settings on every BindShortcuts.
        if (version_ == 1 && listsEveryKey(shortcuts.get(), keys)) {
            finish(triggersIn(shortcuts.get(), keys));
            return;
        }
        request(
            "BindShortcuts",
            [&](GVariant *handleToken) {
                GVariantBuilder options;
                g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
                g_variant_builder_add(&options, "{sv}", "handle_token", handleToken);
                return g_variant_new("(o@a(sa{sv})sa{sv})", sessionPath_.c_str(), shortcutList(keys), "", &options);
            },
            [this, keys](guint32 code, GVariant *bound) {
                if (code != 0) {
                    report("the desktop did not bind F6 to F12", code);
                    finish(unassigned(keys));
                    return;
                }
                const GVariantPtr shortcuts(g_variant_lookup_value(bound, "shortcuts", G_VARIANT_TYPE("a(sa{sv})")));
                finish(triggersIn(shortcuts.get(), keys));
            });
    }

    void finish(const DesktopTriggers &triggers)
    {
        busy_ = false;
        events_.triggers(triggers);
        if (wanted_ != bound_ && !lost_)
            bindWanted();
    }

    static void report(const char *what, guint32 code)
    {
        printDiagnostic(std::string("vantrel: ") + what + " (" +
                        (code == 1   ? "the user cancelled"
                         : code == 0 ? "no session in the answer"
                                     : "it failed") +
                        ")");
    }

    // Calls a portal method that answers through a request object; the
    // answer is awaited on this thread's loop, never by the caller.
    void request(const char *method, const std::function<GVariant *(GVariant *handleToken)> &arguments,
                 std::function<void(guint32 code, GVariant *results)> answered)
    {
        const std::string token = "vantrel" + std::to_string(++requestCount_);
        const std::string path = portalObjectPath(connection_.get(), "request", token);
        auto pending = std::make_unique<Request>(Request{this, 0, std::move(answered)});
        // Subscribed before the call, so that a quick answer is not missed.
        pending->subscription = g_dbus_connection_signal_subscribe(
            connection_.get(), kPortalName, "org.freedesktop.portal.Request", "Response", path.c_str(), nullptr,
            G_DBUS_SIGNAL_FLAGS_NONE, &Worker::onResponse, pending.get(), nullptr);
        requests_[path] = std::move(pending);
        callAsync(kPortalPath, kShortcutsInterface, method, arguments(g_variant_new_string(token.c_str())),
                  [this, path](GVariant *, const GError *error) {
                      if (!error)
                          return;
                      // No request object was made: the answer is this error.
                      printDiagnostic(std::string("vantrel: the global shortcuts portal refused a call: ") +
                                      error->message);
                      answer(path, 2, nullptr);
                  });
    }

    void answer(const std::string &path, guint32 code, GVariant *results)
    {
        const auto found = requests_.find(path);
        if (found == requests_.end())
            return;
        const std::unique_ptr<Request> pending = std::move(found->second);
        requests_.erase(found);
        g_dbus_connection_signal_unsubscribe(connection_.get(), pending->subscription);
        GVariantBuilder empty;
        g_variant_builder_init(&empty, G_VARIANT_TYPE_VARDICT);
        const GVariantPtr none(g_variant_ref_sink(g_variant_builder_end(&empty)));
        pending->answered(code, results ? results : none.get());
    }

    using CallDone = std::function<void(GVariant *reply, const GError *error)>;

    void callAsync(const char *path, const char *interface, const char *method, GVariant *arguments, CallDone done)
    {
        struct Call {
            Worker *worker;
            CallDone done;
        };
        ++pendingCalls_;
        g_dbus_connection_call(
            connection_.get(), kPortalName, path, interface, method, arguments, nullptr, G_DBUS_CALL_FLAGS_NONE, -1,
            cancellable_.get(),
            [](GObject *source, GAsyncResult *result, gpointer data) {
                const std::unique_ptr<Call> call(static_cast<Call *>(data));
                GError *raw = nullptr;
                const GVariantPtr reply(g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &raw));
                const GErrorPtr error(raw);
                --call->worker->pendingCalls_;
                if (!call->worker->stopping_)
                    call->done(reply.get(), error.get());
            },
            new Call{this, std::move(done)});
    }

    static void onResponse(GDBusConnection *, const char *, const char *path, const char *, const char *,
                           GVariant *parameters, gpointer data)
    {
        auto *pending = static_cast<Request *>(data);
        guint32 code = 2;
        GVariant *results = nullptr;
        if (g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})")))
            g_variant_get(parameters, "(u@a{sv})", &code, &results);
        const GVariantPtr owned(results);
        pending->worker->answer(path, code, results);
    }

    static void onShortcutSignal(GDBusConnection *, const char *, const char *, const char *, const char *name,
                                 GVariant *parameters, gpointer data)
    {
        static_cast<Worker *>(data)->shortcutSignal(name, parameters);
    }

    void shortcutSignal(std::string_view name, GVariant *parameters)
    {
        const auto at = std::chrono::steady_clock::now().time_since_epoch();
        // Older portals send every session's signals to every client.
        const char *session = nullptr;
        if (!sessionOpen_ || !g_variant_is_container(parameters) || g_variant_n_children(parameters) < 2)
            return;
        const GVariantPtr first(g_variant_get_child_value(parameters, 0));
        if (!g_variant_is_of_type(first.get(), G_VARIANT_TYPE_OBJECT_PATH))
            return;
        session = g_variant_get_string(first.get(), nullptr);
        if (sessionPath_ != session)
            return;
        if (name == "ShortcutsChanged") {
            const GVariantPtr shortcuts(g_variant_get_child_value(parameters, 1));
            events_.triggers(triggersIn(shortcuts.get(), bound_));
            return;
        }
        const bool activated = name == "Activated";
        if (!activated && name != "Deactivated")
            return;
        const GVariantPtr id(g_variant_get_child_value(parameters, 1));
        if (!g_variant_is_of_type(id.get(), G_VARIANT_TYPE_STRING))
            return;
        if (const auto key = keyForId(g_variant_get_string(id.get(), nullptr)))
            events_.signal({*key, activated, at});
    }

    static void onClosed(GDBusConnection *, gboolean, GError *error, gpointer data)
    {
        static_cast<Worker *>(data)->lose("the session bus connection ended: " + describe(error));
    }

    static void onPortalVanished(GDBusConnection *, const char *, gpointer data)
    {
        static_cast<Worker *>(data)->lose("the desktop's portal went away");
    }

    void lose(const std::string &why)
    {
        if (lost_ || stopping_)
            return;
        lost_ = true;
        sessionOpen_ = false;
        events_.lost(why);
    }

    PortalSessionEvents events_;
    GMainContext *context_;
    GMainLoop *loop_;
    GObjectPtr<GCancellable> cancellable_;
    GObjectPtr<GDBusConnection> connection_;
    unsigned version_ = 0;
    guint signalSubscription_ = 0;
    guint portalWatch_ = 0;
    std::map<std::string, std::unique_ptr<Request>> requests_;
    unsigned requestCount_ = 0;
    int pendingCalls_ = 0;
    std::string sessionPath_;
    bool sessionOpen_ = false;
    bool busy_ = false;
    bool lost_ = false;
    bool stopping_ = false;
    KeySelection wanted_{};
    KeySelection bound_{};
    std::thread thread_;
};

PortalSession::PortalSession(PortalSessionEvents events) : worker_(std::make_unique<Worker>(std::move(events))) {}

PortalSession::~PortalSession() = default;

bool PortalSession::open(std::string *error)
{
    std::promise<std::string> opened;
    auto result = opened.get_future();
    worker_->post([this, &opened] {
        std::string why;
        opened.set_value(worker_->open(&why) ? std::string() : (why.empty() ? "failed" : why));
    });
    const std::string why = result.get();
    if (why.empty())
        return true;
    *error = why;
    return false;
}

void PortalSession::bind(const KeySelection &keys)
{
    worker_->post([this, keys] { worker_->bind(keys); });
}

bool portalOffersGlobalShortcuts()
{
    std::string error;
    const auto connection = connectToSessionBus(&error);
    if (!connection)
        return false;
    const bool offered = globalShortcutsVersion(connection.get(), &error).has_value();
    g_dbus_connection_close_sync(connection.get(), nullptr, nullptr);
    return offered;
}

} // namespace vantrel::platform::linux_backend
