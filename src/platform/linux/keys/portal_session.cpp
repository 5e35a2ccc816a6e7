#include "platform/linux/keys/portal_session.h"

#include "platform/diagnostic.h"
#include "platform/linux/bus/private_session_connection.h"
#include "platform/linux/glib_handles.h"
#include "platform/linux/keys/key_route.h"
#include "platform/linux/keys/portal_shortcut_list.h"
#include "platform/linux/main_context_timer.h"

#include <gio/gio.h>

#include <pthread.h>

#include <algorithm>
#include <map>
#include <thread>

namespace vantrel::platform::linux_backend {

namespace {

constexpr const char *kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char *kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char *kShortcutsInterface = "org.freedesktop.portal.GlobalShortcuts";
constexpr const char *kRegistryInterface = "org.freedesktop.host.portal.Registry";
constexpr const char *kBusName = "org.freedesktop.DBus";
constexpr const char *kBusPath = "/org/freedesktop/DBus";
// Where the portal's desktop backends own their names; they hold the
// sessions that the portal makes for its clients.
constexpr const char *kBackendNamespace = "org.freedesktop.impl.portal.desktop";
constexpr const char *kAppId = "org.morvask.Vantrel";
// KDE names the shortcuts' entry in its settings after the session token:
// a fixed one keeps the user's changes, and asks no question again, from one
// start to the next.
constexpr const char *kSessionToken = "vantrel";

// A portal that went away is asked for again after these, doubling; so is a
// request that failed.
constexpr auto kFirstRetry = std::chrono::milliseconds(250);
constexpr auto kLongestRetry = std::chrono::seconds(30);
// Starting the portal and its backend takes a second or two, a few under
// load: longer than this without the keys is worth telling the user.
constexpr auto kUnavailableNotice = std::chrono::seconds(8);

constexpr const char *kWatchingLine = "vantrel: watching F6 to F12 through the desktop's global shortcuts portal";

std::string describe(const GError *error) { return error ? error->message : "no answer"; }

bool anyKey(const KeySelection &keys)
{
    return std::any_of(keys.begin(), keys.end(), [](bool used) { return used; });
}

bool isMissingMethod(const GError *error)
{
    return g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_INTERFACE) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_OBJECT);
}

// The bus could not hand the call to a portal, or the portal did not answer.
bool isUnreachable(const GError *error)
{
    return g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NO_REPLY) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_TIMEOUT) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_TIMED_OUT) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SPAWN_CHILD_EXITED) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SPAWN_FAILED) ||
           g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT) ||
           g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CLOSED);
}

// The interface's version in the reply to Properties.Get, or why there is
// none; *offered: false when the portal answered that it has no global
// shortcuts at all, which asking again does not change.
std::optional<unsigned> versionIn(GVariant *reply, const GError *error, std::string *why, bool *offered)
{
    *offered = true;
    if (!reply) {
        *offered = !isMissingMethod(error) && !g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS);
        *why = *offered ? "the desktop's global shortcuts portal does not answer: " + describe(error)
                        : "the desktop's portal offers no global shortcuts (" + describe(error) + ")";
        return std::nullopt;
    }
    GVariantPtr value(g_variant_get_child_value(reply, 0));
    GVariantPtr version(g_variant_get_variant(value.get()));
    if (!g_variant_is_of_type(version.get(), G_VARIANT_TYPE_UINT32)) {
        *offered = false;
        *why = "the desktop's global shortcuts portal gives no version";
        return std::nullopt;
    }
    return g_variant_get_uint32(version.get());
}

std::string responseProblem(guint32 code)
{
    return code == 1 ? "the user cancelled" : code == 0 ? "no session in the answer" : "it failed";
}

} // namespace

// Lives on the session's thread, except for the posting of jobs.
class PortalSession::Worker {
public:
    explicit Worker(PortalSessionEvents events)
        : events_(std::move(events)), context_(g_main_context_new()), loop_(g_main_loop_new(context_, FALSE)),
          cancellable_(g_cancellable_new()), thread_([this] { run(); })
    {
        post([this] { start(); });
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

    void bind(const KeySelection &keys)
    {
        wanted_ = keys;
        sync();
    }

private:
    enum class State {
        // No portal has answered yet.
        Waiting,
        // The desktop holds our shortcuts, or none are wanted.
        Bound,
        // The portal, its backend or a request failed; asking again.
        Failed,
        // The portal has no global shortcuts.
        Unsupported,
    };

    // One portal request under way: the answer comes as a Response signal
    // on an object named after our token.
    struct Request {
        Worker *worker;
        guint subscription = 0;
        std::function<void(guint32 code, GVariant *results)> answered;
    };

    using CallDone = std::function<void(GVariant *reply, const GError *error)>;

    void run()
    {
        pthread_setname_np(pthread_self(), "vantrel-portal");
        g_main_context_push_thread_default(context_);
        g_main_loop_run(loop_);
        g_main_context_pop_thread_default(context_);
    }

    void start()
    {
        auto opened = openPrivateSessionConnection();
        if (!opened.connection) {
            lose(opened.problem);
            return;
        }
        connection_ = std::move(opened.connection);
        sessionPath_ = portalObjectPath(connection_.get(), "session", kSessionToken);
        g_signal_connect(connection_.get(), "closed", G_CALLBACK(&Worker::onClosed), this);
        shortcutSignals_ = g_dbus_connection_signal_subscribe(connection_.get(), kPortalName, kShortcutsInterface,
                                                              nullptr, kPortalPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
                                                              &Worker::onShortcutSignal, this, nullptr);
        backendSignals_ = g_dbus_connection_signal_subscribe(
            connection_.get(), kBusName, kBusName, "NameOwnerChanged", kBusPath, kBackendNamespace,
            G_DBUS_SIGNAL_FLAGS_MATCH_ARG0_NAMESPACE, &Worker::onBackendOwnerChanged, this, nullptr);
        portalWatch_ =
            g_bus_watch_name_on_connection(connection_.get(), kPortalName, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                           &Worker::onPortalAppeared, &Worker::onPortalVanished, this, nullptr);
        startUnavailableClock();
        probe();
    }

    void shutDown()
    {
        stopping_ = true;
        retry_.stop();
        notice_.stop();
        g_cancellable_cancel(cancellable_.get());
        // Cancelled calls still answer through this context.
        while (pendingCalls_ > 0)
            g_main_context_iteration(context_, TRUE);
        if (connection_) {
            dropRequests();
            if (shortcutSignals_)
                g_dbus_connection_signal_unsubscribe(connection_.get(), shortcutSignals_);
            if (backendSignals_)
                g_dbus_connection_signal_unsubscribe(connection_.get(), backendSignals_);
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

    // Asks the portal (which the bus starts if need be) for its global
    // shortcuts, then binds the keys wanted. Newer portals know a program
    // outside a sandbox only by the id it registers before any other call;
    // older ones have no registry.
    void probe()
    {
        if (probing_ || portalUp_ || lost_ || stopping_)
            return;
        retry_.stop();
        probing_ = true;
        const unsigned generation = generation_;
        // A portal takes one registration from a connection.
        if (registered_) {
            askVersion(generation);
            return;
        }
        GVariantBuilder options;
        g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
        callAsync(kPortalPath, kRegistryInterface, "Register", g_variant_new("(sa{sv})", kAppId, &options),
                  [this, generation](GVariant *, const GError *error) {
                      if (generation != generation_)
                          return;
                      if (error && isUnreachable(error)) {
                          probing_ = false;
                          fail("the desktop's global shortcuts portal does not answer: " + describe(error));
                          return;
                      }
                      if (error && !isMissingMethod(error))
                          printDiagnostic(std::string("vantrel: the portal did not register the application id ") +
                                          kAppId + ": " + error->message);
                      registered_ = true;
                      askVersion(generation);
                  });
    }

    void askVersion(unsigned generation)
    {
        callAsync(kPortalPath, "org.freedesktop.DBus.Properties", "Get",
                  g_variant_new("(ss)", kShortcutsInterface, "version"),
                  [this, generation](GVariant *reply, const GError *error) {
                      if (generation != generation_)
                          return;
                      probing_ = false;
                      std::string why;
                      bool offered = true;
                      const auto version = versionIn(reply, error, &why, &offered);
                      if (!version && !offered) {
                          // The desktop's way, not a failure: asked again
                          // only when another portal takes over.
                          retry_.stop();
                          enterState(State::Unsupported, why);
                          return;
                      }
                      if (!version) {
                          fail(why);
                          return;
                      }
                      version_ = *version;
                      portalUp_ = true;
                      sync();
                  });
    }

    static void onPortalAppeared(GDBusConnection *, const char *, const char *owner, gpointer data)
    {
        static_cast<Worker *>(data)->portalAppeared(owner);
    }

    static void onPortalVanished(GDBusConnection *, const char *, gpointer data)
    {
        static_cast<Worker *>(data)->portalVanished();
    }

    // Whoever started it, us or another program: it is asked at once.
    void portalAppeared(const std::string &owner)
    {
        if (owner == portalOwner_)
            return;
        if (!portalOwner_.empty())
            portalGone();
        portalOwner_ = owner;
        if (!portalUp_ && !probing_)
            probe();
    }

    void portalVanished()
    {
        // Not there yet at the start: the first call starts it.
        if (portalOwner_.empty())
            return;
        portalOwner_.clear();
        portalGone();
        fail("the desktop's portal went away");
    }

    // Nothing the gone portal said or was asked still counts; a new one knows
    // nothing of us.
    void portalGone()
    {
        ++generation_;
        probing_ = false;
        registered_ = false;
        portalUp_ = false;
        busy_ = false;
        dropRequests();
        bound_.reset();
        sessionMayExist_ = false;
    }

    static void onBackendOwnerChanged(GDBusConnection *, const char *, const char *, const char *, const char *,
                                      GVariant *parameters, gpointer data)
    {
        const char *name = nullptr;
        const char *before = nullptr;
        const char *after = nullptr;
        if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(sss)")))
            return;
        g_variant_get(parameters, "(&s&s&s)", &name, &before, &after);
        auto *worker = static_cast<Worker *>(data);
        if (*before && !*after)
            worker->backendGone(name);
        else if (!*before && *after)
            worker->backendCame();
    }

    // The session the portal holds for us lost its other half with the
    // backend: the keys are dead until a backend makes a new one.
    void backendGone(const std::string &name)
    {
        if (!portalUp_ || !sessionMayExist_)
            return;
        ++generation_;
        busy_ = false;
        dropRequests();
        bound_.reset();
        enterState(State::Failed, "the desktop's portal backend " + name + " went away");
        sync();
    }

    void backendCame()
    {
        if (portalUp_ && state_ == State::Failed && retry_.running()) {
            retry_.stop();
            sync();
        }
    }

    // Brings the desktop's shortcuts to the selection wanted, one change at
    // a time: a change asked for meanwhile follows when this one is done.
    // Binding starts over from a closed session: the portal of Plasma 5.27
    // takes the shortcuts only when the session is made, closing releases the
    // keys no longer wanted, and the fixed token can name one session only.
    void sync()
    {
        if (lost_ || stopping_ || !portalUp_ || busy_ || bound_ == wanted_)
            return;
        busy_ = true;
        const KeySelection keys = wanted_;
        const unsigned generation = generation_;
        closeSession(generation, [this, keys, generation] {
            if (anyKey(keys))
                createSession(keys, generation);
            else
                bound(keys, DesktopTriggers{});
        });
    }

    void closeSession(unsigned generation, std::function<void()> then)
    {
        if (!sessionMayExist_) {
            then();
            return;
        }
        // Awaited: the portal takes the session's path back before answering.
        callAsync(sessionPath_.c_str(), "org.freedesktop.portal.Session", "Close", nullptr,
                  [this, generation, then = std::move(then)](GVariant *, const GError *) {
                      if (generation != generation_)
                          return;
                      // Failing means there was none left to close.
                      sessionMayExist_ = false;
                      then();
                  });
    }

    void createSession(const KeySelection &keys, unsigned generation)
    {
        // A session may be made even when the answer says otherwise; the
        // next attempt closes it first.
        sessionMayExist_ = true;
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
            [this, keys, generation](guint32 code, GVariant *results) {
                if (generation == generation_)
                    sessionCreated(keys, code, results);
            });
    }

    void sessionCreated(const KeySelection &keys, guint32 code, GVariant *results)
    {
        const char *handle = nullptr;
        if (code != 0 || !g_variant_lookup(results, "session_handle", "&s", &handle)) {
            failBinding("the desktop made no global shortcuts session (" + responseProblem(code) + ")");
            return;
        }
        sessionPath_ = handle;
        const GVariantPtr shortcuts(g_variant_lookup_value(results, "shortcuts", G_VARIANT_TYPE("a(sa{sv})")));
        // Plasma 5.27 bound them with the session and would open its
        // settings on every BindShortcuts.
        if (version_ == 1 && listsEveryKey(shortcuts.get(), keys)) {
            bound(keys, triggersIn(shortcuts.get(), keys));
            return;
        }
        const unsigned generation = generation_;
        request(
            "BindShortcuts",
            [&](GVariant *handleToken) {
                GVariantBuilder options;
                g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
                g_variant_builder_add(&options, "{sv}", "handle_token", handleToken);
                return g_variant_new("(o@a(sa{sv})sa{sv})", sessionPath_.c_str(), shortcutList(keys), "", &options);
            },
            [this, keys, generation](guint32 code, GVariant *answer) {
                if (generation != generation_)
                    return;
                if (code == 1) {
                    // The user said no to the desktop's question: asking
                    // again and again would only pester them.
                    printDiagnostic("vantrel: the desktop did not bind F6 to F12 (the user cancelled)");
                    bound(keys, unassigned(keys));
                    return;
                }
                if (code != 0) {
                    failBinding("the desktop did not bind F6 to F12 (" + responseProblem(code) + ")");
                    return;
                }
                const GVariantPtr shortcuts(g_variant_lookup_value(answer, "shortcuts", G_VARIANT_TYPE("a(sa{sv})")));
                bound(keys, triggersIn(shortcuts.get(), keys));
            });
    }

    void bound(const KeySelection &keys, const DesktopTriggers &triggers)
    {
        busy_ = false;
        bound_ = keys;
        retry_.stop();
        retryDelay_ = {};
        events_.triggers(triggers);
        enterState(State::Bound, {});
        sync();
    }

    void failBinding(const std::string &why)
    {
        busy_ = false;
        bound_.reset();
        fail(why);
    }

    // Asks again after a growing delay: the portal or the request, whichever
    // is due.
    void fail(const std::string &why)
    {
        enterState(State::Failed, why);
        if (retry_.running() || lost_ || stopping_)
            return;
        retryDelay_ = retryDelay_.count() == 0 ? std::chrono::milliseconds(kFirstRetry)
                                               : std::min<std::chrono::milliseconds>(retryDelay_ * 2, kLongestRetry);
        retry_.start(context_, retryDelay_, [this] {
            if (portalUp_)
                sync();
            else
                probe();
        });
    }

    void enterState(State state, const std::string &why)
    {
        if (state == state_ && why == why_)
            return;
        const State before = state_;
        state_ = state;
        why_ = why;
        if (state == State::Bound) {
            notice_.stop();
            noticeDue_ = true;
            printDiagnostic(before == State::Waiting ? kWatchingLine : std::string(kWatchingLine) + " again");
            return;
        }
        if (state == State::Unsupported) {
            // Where the desktop runs "vantrel --press" for the keys, as it
            // must here, they work: nothing to tell the user each start.
            notice_.stop();
            printDiagnostic("vantrel: " + why + "; " + std::string(kPressAdvice));
            return;
        }
        printDiagnostic("vantrel: " + why + "; F6 to F12 open nothing until the desktop answers");
        if (before == State::Bound)
            startUnavailableClock();
    }

    // The keys do not work from now on: the user hears of it if that lasts.
    void startUnavailableClock()
    {
        if (!noticeDue_ || notice_.running())
            return;
        notice_.start(context_, kUnavailableNotice, [this] {
            if (state_ == State::Bound)
                return;
            noticeDue_ = false;
            events_.unavailable(why_.empty() ? "the desktop's global shortcuts portal has not answered yet" : why_);
        });
    }

    void dropRequests()
    {
        for (auto &[path, request] : requests_)
            g_dbus_connection_signal_unsubscribe(connection_.get(), request->subscription);
        requests_.clear();
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
        if (!bound_ || !g_variant_is_container(parameters) || g_variant_n_children(parameters) < 2)
            return;
        const GVariantPtr first(g_variant_get_child_value(parameters, 0));
        if (!g_variant_is_of_type(first.get(), G_VARIANT_TYPE_OBJECT_PATH))
            return;
        if (sessionPath_ != g_variant_get_string(first.get(), nullptr))
            return;
        if (name == "ShortcutsChanged") {
            const GVariantPtr shortcuts(g_variant_get_child_value(parameters, 1));
            events_.triggers(triggersIn(shortcuts.get(), *bound_));
            return;
        }
        const bool activated = name == "Activated";
        if (!activated && name != "Deactivated")
            return;
        const GVariantPtr id(g_variant_get_child_value(parameters, 1));
        if (!g_variant_is_of_type(id.get(), G_VARIANT_TYPE_STRING))
            return;
        if (const auto key = keyOfShortcut(g_variant_get_string(id.get(), nullptr)))
            events_.signal({*key, activated, at});
    }

    static void onClosed(GDBusConnection *, gboolean, GError *error, gpointer data)
    {
        static_cast<Worker *>(data)->lose("the session bus connection ended: " + describe(error));
    }

    void lose(const std::string &why)
    {
        if (lost_ || stopping_)
            return;
        lost_ = true;
        retry_.stop();
        notice_.stop();
        events_.lost(why);
    }

    PortalSessionEvents events_;
    GMainContext *context_;
    GMainLoop *loop_;
    GObjectPtr<GCancellable> cancellable_;
    GObjectPtr<GDBusConnection> connection_;
    guint shortcutSignals_ = 0;
    guint backendSignals_ = 0;
    guint portalWatch_ = 0;
    std::map<std::string, std::unique_ptr<Request>> requests_;
    unsigned requestCount_ = 0;
    int pendingCalls_ = 0;

    // Of the portal now and our session there. Answers to calls made before
    // the generation changed (the portal or its backend went) are dropped.
    unsigned generation_ = 0;
    std::string portalOwner_;
    bool probing_ = false;
    bool registered_ = false;
    bool portalUp_ = false;
    unsigned version_ = 0;
    std::string sessionPath_;
    bool sessionMayExist_ = false;
    bool busy_ = false;
    KeySelection wanted_{};
    // What the desktop holds for us; nothing when that is not known.
    std::optional<KeySelection> bound_;

    State state_ = State::Waiting;
    std::string why_;
    MainContextTimer retry_;
    std::chrono::milliseconds retryDelay_{};
    MainContextTimer notice_;
    bool noticeDue_ = true;
    bool lost_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

PortalSession::PortalSession(PortalSessionEvents events) : worker_(std::make_unique<Worker>(std::move(events))) {}

PortalSession::~PortalSession() = default;

void PortalSession::bind(const KeySelection &keys)
{
    worker_->post([this, keys] { worker_->bind(keys); });
}

bool sessionBusHasPortal()
{
    auto opened = openPrivateSessionConnection();
    if (!opened.connection)
        return false;
    GDBusConnection *connection = opened.connection.get();
    const auto ask = [&](const char *method, GVariant *arguments, const char *type) {
        // The bus itself answers at once; the limit is for a bus in trouble.
        constexpr int kBusTimeoutMs = 2000;
        return GVariantPtr(g_dbus_connection_call_sync(connection, kBusName, kBusPath, kBusName, method, arguments,
                                                       G_VARIANT_TYPE(type), G_DBUS_CALL_FLAGS_NONE, kBusTimeoutMs,
                                                       nullptr, nullptr));
    };
    bool found = false;
    if (const auto owned = ask("NameHasOwner", g_variant_new("(s)", kPortalName), "(b)"))
        g_variant_get(owned.get(), "(b)", &found);
    if (!found) {
        if (const auto activatable = ask("ListActivatableNames", nullptr, "(as)")) {
            const char **names = nullptr;
            g_variant_get(activatable.get(), "(^a&s)", &names);
            for (const char **name = names; name && *name && !found; ++name)
                found = std::string_view(*name) == kPortalName;
            g_free(names);
        }
    }
    g_dbus_connection_close_sync(connection, nullptr, nullptr);
    return found;
}

} // namespace vantrel::platform::linux_backend
