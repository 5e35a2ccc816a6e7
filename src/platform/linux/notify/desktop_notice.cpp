#include "platform/linux/notify/desktop_notice.h"

#include "platform/diagnostic.h"
#include "platform/linux/bus/private_session_connection.h"
#include "platform/linux/glib_handles.h"
#include "platform/linux/utf8.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

namespace vantrel::platform::linux_backend {

namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
constexpr char kAppName[] = "Vantrel";
constexpr char kAppIcon[] = "org.morvask.Vantrel";
// The service's own default for how long a notice stays.
constexpr gint32 kDefaultExpiry = -1;
// A service that has not answered by then is taken for absent, and the
// notice goes to standard error.
constexpr int kCallTimeoutMs = 5000;
// How long the end of the program waits for a notice on its way.
constexpr std::chrono::milliseconds kSendingGrace{300};

// Bus text must be UTF-8: a lone surrogate (from a file name that was not)
// shows as U+FFFD.
std::string utf8Of(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            unit = fromSurrogatePair(unit, text[++i]);
        else if (isHighSurrogate(unit) || isLowSurrogate(unit))
            unit = 0xFFFD;
        appendUtf8CodePoint(out, unit);
    }
    return out;
}

// A notice on one diagnostic line.
void printNotice(const std::string &summary, const std::string &body)
{
    std::string line = "vantrel: " + summary;
    if (!body.empty())
        line += ": " + body;
    std::replace(line.begin(), line.end(), '\n', ' ');
    printDiagnostic(line);
}

} // namespace

DesktopNotice::DesktopNotice() : cancellable_(g_cancellable_new())
{
    try {
        thread_ = std::thread([this] { serve(); });
    } catch (const std::system_error &) {
        // No thread to send from: every notice goes to standard error.
    }
}

DesktopNotice::~DesktopNotice()
{
    {
        std::unique_lock lock(mutex_);
        stopping_ = true;
        wake_.notify_all();
        // A notice on its way most often arrives within moments; only one
        // that does not is given up and said on standard error.
        wake_.wait_for(lock, kSendingGrace, [this] { return !sending_; });
    }
    g_cancellable_cancel(cancellable_);
    if (thread_.joinable())
        thread_.join();
    for (const auto &notice : queue_)
        printNotice(notice.summary, notice.body);
    if (connection_)
        g_object_unref(connection_);
    g_object_unref(cancellable_);
}

void DesktopNotice::tell(const std::string &key, const std::u16string &summary, const std::u16string &body)
{
    Notice notice{key, utf8Of(summary), utf8Of(body)};
    {
        const std::lock_guard lock(mutex_);
        if (thread_.joinable() && !stopping_) {
            // A key that fails again before its last notice went out has only
            // its latest notice sent.
            const auto waiting = std::find_if(queue_.begin(), queue_.end(),
                                              [&](const Notice &queued) { return queued.key == notice.key; });
            if (waiting != queue_.end())
                *waiting = std::move(notice);
            else
                queue_.push_back(std::move(notice));
            wake_.notify_one();
            return;
        }
    }
    printNotice(notice.summary, notice.body);
}

void DesktopNotice::serve()
{
    pthread_setname_np(pthread_self(), "vantrel-notice");
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_)
            return;
        const Notice notice = std::move(queue_.front());
        queue_.pop_front();
        sending_ = true;
        lock.unlock();
        if (!show(notice))
            printNotice(notice.summary, notice.body);
        lock.lock();
        sending_ = false;
        wake_.notify_all();
    }
}

bool DesktopNotice::connect()
{
    if (connection_ && !g_dbus_connection_is_closed(connection_))
        return true;
    if (connection_) {
        // The bus went away; a new one knows none of the notices shown.
        g_object_unref(connection_);
        connection_ = nullptr;
        shown_.clear();
    }
    auto opened = openPrivateSessionConnection();
    if (!opened.connection)
        return false;
    connection_ = opened.connection.release();

    // Markup in the body is read as such only by a service that says so;
    // elsewhere an escaped "&amp;" would show as it is.
    GVariant *capabilities = g_dbus_connection_call_sync(connection_, kService, kPath, kService, "GetCapabilities",
                                                         nullptr, G_VARIANT_TYPE("(as)"), G_DBUS_CALL_FLAGS_NONE,
                                                         kCallTimeoutMs, cancellable_, nullptr);
    bodyMarkup_ = false;
    if (capabilities) {
        const GVariantPtr reply(capabilities);
        GVariantIter *names = nullptr;
        g_variant_get(capabilities, "(as)", &names);
        const gchar *name = nullptr;
        while (g_variant_iter_loop(names, "&s", &name))
            bodyMarkup_ = bodyMarkup_ || g_strcmp0(name, "body-markup") == 0;
        g_variant_iter_free(names);
    }
    return true;
}

bool DesktopNotice::show(const Notice &notice)
{
    if (!connect())
        return false;
    const auto previous = shown_.find(notice.key);
    const guint32 replaces = previous != shown_.end() ? previous->second : 0;
    const GCharPtr body(bodyMarkup_ ? g_markup_escape_text(notice.body.c_str(), -1) : g_strdup(notice.body.c_str()));

    GVariantBuilder hints;
    g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&hints, "{sv}", "desktop-entry", g_variant_new_string(kAppIcon));
    GVariant *parameters = g_variant_new("(susssasa{sv}i)", kAppName, replaces, kAppIcon, notice.summary.c_str(),
                                         body.get(), nullptr, &hints, kDefaultExpiry);
    GError *raw = nullptr;
    GVariant *reply =
        g_dbus_connection_call_sync(connection_, kService, kPath, kService, "Notify", parameters, G_VARIANT_TYPE("(u)"),
                                    G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, cancellable_, &raw);
    if (!reply) {
        g_error_free(raw);
        return false;
    }
    guint32 id = 0;
    g_variant_get(reply, "(u)", &id);
    g_variant_unref(reply);
    shown_[notice.key] = id;
    return true;
}

} // namespace vantrel::platform::linux_backend
